// Drives a running ventrasol.exe from outside, the way Windows and the user would: it finds the
// window by its class, sends it messages, clicks at client coordinates and reads the registry
// through the API. Several commands may follow each other in one call, separated by ",";
// each prints one line. Exit code 0 when every command succeeded, 1 otherwise.
//
//   wait-window SECONDS [shown] "title|visible" once the window exists and start-up has
//                              settled (with "shown": once it is also visible)
//   wait-gone SECONDS          "gone" once no window of the class exists
//   send MSG WPARAM LPARAM     SendMessageTimeoutW; prints the result
//   post MSG WPARAM LPARAM     PostMessageW
//   command ID                 WM_COMMAND with ID, sent
//   down X Y | move X Y | up X Y | click X Y
//                              left-button messages at client coordinates, then a sent
//                              WM_NULL so that they have been handled when the call returns
//   client                     "left top width height" of the client area on the screen
//   window                     "left top width height" of the whole window on the screen
//   workarea                   "left top width height" of the work area of the window's monitor
//   reg KEY NAME               a value under HKEY_CURRENT_USER (HKLM\KEY: the machine's):
//                              a DWORD in decimal, a string as UTF-8, binary data as hex;
//                              "absent" when missing
//   paint                      has the window repaint now (and waits a moment for the screen)
//   smc-get KEY                a key of the SMC simulator: a 4-byte key as a float, a 2-byte
//                              one as sp78, a 1-byte one as a number
//   smc-set KEY flt|sp78 VALUE defines a read-only sensor key of the simulator
//   smc-byte KEY VALUE [w]     defines a 1-byte key (writable with w), e.g. a fan's mode key
//   smc-writable KEY 0|1       whether the program's writes to KEY succeed
//   smc-remove KEY             the simulator no longer has KEY: its reads and writes fail
//   smc-faults FAIL GONE       FAIL 1: the SMC stops answering, every request of the program
//                              fails after its bounded waits; GONE 1: the device's name is
//                              gone, so the program's next open fails
//   smc-query-mode             what the driver answers the program's mode query: 1 when it
//                              reaches the SMC through its memory window, 0 through the ports
//   smc-mode N                 the emulated machine (0 ports, 1 T2 window, 2 window reads 0xFF,
//                              3 nothing answers); the driver chooses its interface again
//   smc-reset                  the simulator's start-up table, no faults, an empty log
//   smc-writes                 the program's write requests since the reset, one a line:
//                              "KEY OK HEXBYTES"; "none" when there were none
//   crash-thread               starts a thread at an invalid address in the window's process
//   overflow-stack DLL         loads DLL (stack_overflow_hook.dll) into the window's process and
//                              has it overflow the stack of the window's own thread
//   smc-raw KEY                a key's stored bytes in hex, e.g. "1E 78"
//   smc-table N                the simulator's keys from table N (0 = T2, 1 = the older SMC)
//   sleep MS
//   start-timed SECONDS EXE [ARG]
//                              starts EXE and prints the milliseconds until a window of the
//                              class exists (bench/process_figures); "no window" after SECONDS
//   memory                     "working-set private-bytes peak-working-set" of the window's
//                              process, in bytes
//   run SECONDS COMMAND-LINE   starts the command line as given (CreateProcessW, no quoting
//                              added) and prints its exit code, or "timeout" after SECONDS
//   task NAME                  "present" or "absent": a task of that name in the Task
//                              Scheduler's root folder
//   task-delete NAME           deletes that task; "deleted"
//   resources                  "handles gdi-objects private-bytes" of the window's process
//   hold                       keeps the prefix's desktop open until this process is ended;
//                              prints "holding" once the desktop exists
//   keys KEY...                presses keys in the window as the keyboard would (SendInput,
//                              the window brought to the front first): tab, space, enter,
//                              left, right, up, down, pgup, pgdn, home, end, each optionally
//                              with ctrl+ and shift+ before it, e.g. "ctrl+shift+tab"
//   uia-tree                   the window's UI Automation tree as a client in this process
//                              reads it: one line per element below the window, indented by
//                              two spaces per level, "CONTROLTYPE|AUTOMATIONID|NAME|FOCUS"
#include <windows.h>

#include <psapi.h>
#include <uiautomationclient.h>
#include <uiautomationcore.h>

#include "platform/win32/win32_task_scheduler.h"
#include "smc_sim_protocol.h"

#include <fcntl.h>
#include <io.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const wchar_t* const WINDOW_CLASS = L"VentrasolUniversalClass";
constexpr UINT SEND_TIMEOUT_MS = 10000;

std::string utf8(const std::wstring& text) {
    if (text.empty())
        return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

std::wstring wide(const std::string& text) {
    if (text.empty())
        return {};
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

long long number(const std::string& text) {
    return std::strtoll(text.c_str(), nullptr, 0);
}

HWND findWindow() {
    return FindWindowW(WINDOW_CLASS, nullptr);
}

bool waitFor(bool wantWindow, double seconds) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
    for (;;) {
        if ((findWindow() != nullptr) == wantWindow)
            return true;
        if (GetTickCount64() >= end)
            return false;
        Sleep(50);
    }
}

bool send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result) {
    return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, SEND_TIMEOUT_MS,
                               result) != 0;
}

bool pointer(HWND window, UINT message, int x, int y) {
    const WPARAM keys = message == WM_LBUTTONUP ? 0 : MK_LBUTTON;
    const LPARAM position = MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
    if (!PostMessageW(window, message, keys, position))
        return false;
    DWORD_PTR ignored = 0;
    return send(window, WM_NULL, 0, 0, &ignored);
}

std::string readValue(std::string key, const std::string& name) {
    HKEY root = HKEY_CURRENT_USER;
    if (key.rfind("HKLM\\", 0) == 0) {
        root = HKEY_LOCAL_MACHINE;
        key = key.substr(5);
    }
    HKEY handle = nullptr;
    if (RegOpenKeyExW(root, wide(key).c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return "absent";
    DWORD type = 0, size = 0;
    const std::wstring valueName = wide(name);
    std::string out = "absent";
    if (RegQueryValueExW(handle, valueName.c_str(), nullptr, &type, nullptr, &size) ==
        ERROR_SUCCESS) {
        std::vector<BYTE> data(size + 2, 0);
        if (RegQueryValueExW(handle, valueName.c_str(), nullptr, &type, data.data(), &size) ==
            ERROR_SUCCESS) {
            if (type == REG_DWORD && size == 4) {
                DWORD v = 0;
                memcpy(&v, data.data(), 4);
                out = std::to_string(static_cast<unsigned long>(v));
            } else if (type == REG_SZ) {
                std::wstring text(reinterpret_cast<const wchar_t*>(data.data()),
                                  size / sizeof(wchar_t));
                // The stored terminator is part of the value's size; show it explicitly.
                if (!text.empty() && text.back() == L'\0') {
                    text.pop_back();
                    out = utf8(text) + "<NUL>";
                } else {
                    out = utf8(text);
                }
            } else {
                char hex[3];
                out = "type" + std::to_string(static_cast<unsigned long>(type)) + ":";
                for (DWORD i = 0; i < size; ++i) {
                    snprintf(hex, sizeof hex, "%02x", data[i]);
                    out += hex;
                }
            }
        }
    }
    RegCloseKey(handle);
    return out;
}

// One test-only request to the SMC simulator's device.
bool simulator(DWORD code, const void* in, DWORD inSize, void* out, DWORD outSize) {
    // The simulator's own name stays when a test takes the device's public name away.
    HANDLE device = INVALID_HANDLE_VALUE;
    for (const wchar_t* name : {L"\\\\.\\APPLESMCSIM", L"\\\\.\\APPLESMC"}) {
        device =
            CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (device != INVALID_HANDLE_VALUE)
            break;
    }
    if (device == INVALID_HANDLE_VALUE)
        return false;
    DWORD returned = 0;
    const bool ok = DeviceIoControl(device, code, const_cast<void*>(in), inSize, out, outSize,
                                    &returned, nullptr) != 0 &&
                    returned == outSize;
    CloseHandle(device);
    return ok;
}

bool smcGet(const std::string& key) {
    if (key.size() != 4) {
        std::printf("error: a key has four characters\n");
        return false;
    }
    SmcSimKey stored{};
    if (!simulator(SMC_SIM_IOCTL_GET_KEY, key.data(), 4, &stored, sizeof stored)) {
        std::printf("absent\n");
        return false;
    }
    if (stored.size == 4) {
        float value = 0;
        std::memcpy(&value, stored.data, 4);
        std::printf("%.2f\n", static_cast<double>(value));
    } else if (stored.size == 2) {
        const int raw = static_cast<signed char>(stored.data[0]) * 256 + stored.data[1];
        std::printf("%.2f\n", raw / 256.0);
    } else {
        std::printf("%u\n", static_cast<unsigned>(stored.data[0]));
    }
    return true;
}

bool smcSet(const std::string& key, const std::string& kind, const std::string& text) {
    const double value = std::strtod(text.c_str(), nullptr);
    if (key.size() != 4 || (kind != "flt" && kind != "sp78")) {
        std::printf("error: smc-set KEY flt|sp78 VALUE\n");
        return false;
    }
    SmcSimKey entry{};
    std::memcpy(entry.key, key.data(), 4);
    if (kind == "flt") {
        const auto f = static_cast<float>(value);
        entry.size = 4;
        std::memcpy(entry.data, &f, 4);
    } else {
        const long raw = std::lround(value * 256.0);
        entry.size = 2;
        entry.data[0] = static_cast<unsigned char>((raw >> 8) & 0xFF);
        entry.data[1] = static_cast<unsigned char>(raw & 0xFF);
    }
    const bool ok = simulator(SMC_SIM_IOCTL_SET_KEY, &entry, sizeof entry, nullptr, 0);
    std::printf(ok ? "set\n" : "failed\n");
    return ok;
}

bool smcWrite(SmcSimKey entry, bool writable) {
    if (writable)
        entry.flags = SMC_SIM_FLAG_WRITABLE;
    const bool ok = simulator(SMC_SIM_IOCTL_SET_KEY, &entry, sizeof entry, nullptr, 0);
    std::printf(ok ? "set\n" : "failed\n");
    return ok;
}

// A key shorter than four characters is padded with spaces: "FS!" is the force mask "FS! ".
bool smcRaw(std::string key) {
    if (key.size() < 4)
        key.resize(4, ' ');
    SmcSimKey stored{};
    if (key.size() != 4 ||
        !simulator(SMC_SIM_IOCTL_GET_KEY, key.data(), 4, &stored, sizeof stored)) {
        std::printf("absent\n");
        return false;
    }
    for (unsigned i = 0; i < stored.size && i < 4; ++i)
        std::printf(i ? " %02X" : "%02X", static_cast<unsigned>(stored.data[i]));
    std::printf("\n");
    return true;
}

bool smcTable(const std::string& text) {
    const auto table = static_cast<unsigned char>(std::strtoul(text.c_str(), nullptr, 10));
    const bool ok = simulator(SMC_SIM_IOCTL_SET_TABLE, &table, 1, nullptr, 0);
    std::printf(ok ? "set\n" : "failed\n");
    return ok;
}

bool smcChange(const std::vector<std::string>& a) {
    const std::string& c = a[0];
    SmcSimKey entry{};
    if (a.size() < 2 || a[1].size() != 4) {
        std::printf("error: %s KEY ...\n", c.c_str());
        return false;
    }
    std::memcpy(entry.key, a[1].data(), 4);
    if (c == "smc-byte" && (a.size() == 3 || a.size() == 4)) {
        entry.size = 1;
        entry.data[0] = static_cast<unsigned char>(std::strtoul(a[2].c_str(), nullptr, 10));
        return smcWrite(entry, a.size() == 4 && a[3] == "w");
    }
    if (c == "smc-remove" && a.size() == 2)
        return smcWrite(entry, false);
    if (c == "smc-writable" && a.size() == 3) {
        if (!simulator(SMC_SIM_IOCTL_GET_KEY, a[1].data(), 4, &entry, sizeof entry)) {
            std::printf("absent\n");
            return false;
        }
        entry.flags = 0;
        return smcWrite(entry, a[2] == "1");
    }
    std::printf("error: %s: wrong arguments\n", c.c_str());
    return false;
}

// The program's write requests since the simulator's reset.
bool smcWrites() {
    static SmcSimLog log;
    if (!simulator(SMC_SIM_IOCTL_GET_LOG, nullptr, 0, &log, sizeof log)) {
        std::printf("failed\n");
        return false;
    }
    bool any = false;
    for (unsigned i = 0; i < log.stored; ++i) {
        const SmcSimLogEntry& e = log.entries[i];
        if (e.code != SMC_IOCTL_WRITE_KEY || e.inputSize < 5)
            continue;
        std::printf("%.4s %u", reinterpret_cast<const char*>(e.input), e.succeeded);
        for (unsigned j = 5; j < e.inputSize && j < sizeof e.input; ++j)
            std::printf(" %02X", e.input[j]);
        std::printf("\n");
        any = true;
    }
    if (!any)
        std::printf("none\n");
    return true;
}

// The process that owns the window, opened with access; null when it cannot be opened.
HANDLE openWindowProcess(HWND window, DWORD access) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return OpenProcess(access, FALSE, processId);
}

// A fault on a thread of the program's own: what a crash inside the program or a library it
// loaded looks like to the process.
bool crashThread(HWND window) {
    HANDLE process = openWindowProcess(window, PROCESS_ALL_ACCESS);
    if (process == nullptr) {
        std::printf("no process\n");
        return false;
    }
    const auto start = reinterpret_cast<LPTHREAD_START_ROUTINE>(static_cast<ULONG_PTR>(0x10));
    HANDLE thread = CreateRemoteThread(process, nullptr, 0, start, nullptr, 0, nullptr);
    if (thread != nullptr)
        CloseHandle(thread);
    CloseHandle(process);
    std::printf(thread != nullptr ? "started\n" : "failed\n");
    return thread != nullptr;
}

// A runaway recursion on the window's own thread: the hook library subclasses the window from
// inside the process, and one posted message then recurses until the stack overflows.
bool overflowWindowStack(HWND window, const std::string& dll) {
    HANDLE process = openWindowProcess(window, PROCESS_ALL_ACCESS);
    if (process == nullptr) {
        std::printf("no process\n");
        return false;
    }
    const std::wstring path = wide(dll);
    const SIZE_T bytes = (path.size() + 1) * sizeof(wchar_t);
    void* remotePath = VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT, PAGE_READWRITE);
    HMODULE local = LoadLibraryW(path.c_str());
    const auto localArm =
        reinterpret_cast<const char*>(reinterpret_cast<void*>(GetProcAddress(local, "arm")));
    bool ok = remotePath != nullptr && localArm != nullptr &&
              WriteProcessMemory(process, remotePath, path.c_str(), bytes, nullptr);
    // Loaded where the program's own kernel32 puts it; its base is found among the modules.
    const auto runRemote = [&](LPTHREAD_START_ROUTINE start, void* argument) {
        HANDLE thread = CreateRemoteThread(process, nullptr, 0, start, argument, 0, nullptr);
        if (thread == nullptr)
            return false;
        WaitForSingleObject(thread, 10000);
        DWORD code = 0;
        GetExitCodeThread(thread, &code);
        CloseHandle(thread);
        return code != 0;
    };
    ok = ok && runRemote(reinterpret_cast<LPTHREAD_START_ROUTINE>(reinterpret_cast<void*>(
                             GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW"))),
                         remotePath);
    char* remoteBase = nullptr;
    HMODULE modules[512];
    DWORD needed = 0;
    if (ok && EnumProcessModules(process, modules, sizeof modules, &needed)) {
        for (DWORD i = 0; i < needed / sizeof(HMODULE) && i < 512; ++i) {
            wchar_t name[MAX_PATH] = {};
            if (GetModuleBaseNameW(process, modules[i], name, MAX_PATH) &&
                lstrcmpiW(name, L"stack_overflow_hook.dll") == 0)
                remoteBase = reinterpret_cast<char*>(modules[i]);
        }
    }
    ok = ok && remoteBase != nullptr &&
         runRemote(reinterpret_cast<LPTHREAD_START_ROUTINE>(reinterpret_cast<void*>(
                       remoteBase + (localArm - reinterpret_cast<const char*>(local)))),
                   window);
    ok = ok && PostMessageW(window, WM_APP + 0x3F0, 0, 0);
    CloseHandle(process);
    std::printf(ok ? "posted\n" : "failed\n");
    return ok;
}

// Starts the program without waiting for it and measures how long its window takes to appear.
bool startTimed(double seconds, const std::string& exe, const std::string& arg) {
    std::wstring commandLine = L"\"" + wide(exe) + L"\"";
    if (!arg.empty())
        commandLine += L" " + wide(arg);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    LARGE_INTEGER frequency{}, begin{}, now{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&begin);
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::printf("start failed\n");
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    const double limitTicks = seconds * static_cast<double>(frequency.QuadPart);
    for (;;) {
        const bool found = findWindow() != nullptr;
        QueryPerformanceCounter(&now);
        const auto elapsed = static_cast<double>(now.QuadPart - begin.QuadPart);
        if (found) {
            std::printf("%.0f\n", elapsed * 1000.0 / static_cast<double>(frequency.QuadPart));
            return true;
        }
        if (elapsed >= limitTicks) {
            std::printf("no window\n");
            return false;
        }
        Sleep(1);
    }
}

bool memory(HWND window) {
    HANDLE process = openWindowProcess(window, PROCESS_QUERY_INFORMATION | PROCESS_VM_READ);
    if (process == nullptr) {
        std::printf("failed\n");
        return false;
    }
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    const bool ok =
        GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                             sizeof counters) != 0;
    CloseHandle(process);
    if (!ok) {
        std::printf("failed\n");
        return false;
    }
    std::printf("%llu %llu %llu\n", static_cast<unsigned long long>(counters.WorkingSetSize),
                static_cast<unsigned long long>(counters.PrivateUsage),
                static_cast<unsigned long long>(counters.PeakWorkingSetSize));
    return true;
}

// GetGuiResources is a stub under Wine; Wine keeps each process's GDI objects in a handle
// table of its own that the process environment block points to (offset 0xF8 on x64, 65536
// entries of 24 bytes, the type in byte 14, 0 when free), so the count is read from there.
long remoteGdiObjects(HANDLE process) {
    const DWORD counted = GetGuiResources(process, GR_GDIOBJECTS);
    if (counted != 0)
        return static_cast<long>(counted);
    using QueryFn = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    auto query = reinterpret_cast<QueryFn>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    struct {
        void* reserved1;
        void* peb;
        void* reserved2[4];
    } basic{};
    if (!query || query(process, 0, &basic, sizeof basic, nullptr) != 0 || !basic.peb)
        return -1;
    const unsigned char* table = nullptr;
    SIZE_T got = 0;
    if (!ReadProcessMemory(process, static_cast<const char*>(basic.peb) + 0xF8, &table,
                           sizeof table, &got) ||
        !table)
        return -1;
    std::vector<unsigned char> entries(0x10000 * 24);
    if (!ReadProcessMemory(process, table, entries.data(), entries.size(), &got))
        return -1;
    long n = 0;
    for (std::size_t i = 0; i < 0x10000; ++i)
        if (entries[i * 24 + 14] != 0)
            ++n;
    return n;
}

// handles, GDI objects, private bytes of the window's process.
bool resources(HWND window) {
    HANDLE process = openWindowProcess(window, PROCESS_QUERY_INFORMATION | PROCESS_VM_READ);
    if (process == nullptr) {
        std::printf("failed\n");
        return false;
    }
    DWORD handles = 0;
    GetProcessHandleCount(process, &handles);
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof counters);
    const long gdi = remoteGdiObjects(process);
    CloseHandle(process);
    std::printf("%lu %ld %llu\n", static_cast<unsigned long>(handles), gdi,
                static_cast<unsigned long long>(counters.PrivateUsage));
    return true;
}

// Keys by name, as the user presses them: modifiers down, the key, all up again.
bool pressKeys(HWND window, const std::vector<std::string>& names) {
    SetForegroundWindow(window);
    SetFocus(window);
    Sleep(100);
    for (std::string name : names) {
        std::vector<WORD> held;
        for (const char* modifier : {"ctrl+", "shift+"}) {
            if (name.rfind(modifier, 0) == 0) {
                held.push_back(modifier[0] == 'c' ? VK_CONTROL : VK_SHIFT);
                name = name.substr(std::strlen(modifier));
            }
        }
        const struct {
            const char* name;
            WORD key;
        } keys[] = {{"tab", VK_TAB},   {"space", VK_SPACE}, {"enter", VK_RETURN},
                    {"left", VK_LEFT}, {"right", VK_RIGHT}, {"up", VK_UP},
                    {"down", VK_DOWN}, {"pgup", VK_PRIOR},  {"pgdn", VK_NEXT},
                    {"home", VK_HOME}, {"end", VK_END}};
        WORD key = 0;
        for (const auto& k : keys)
            if (name == k.name)
                key = k.key;
        if (key == 0) {
            std::printf("unknown key %s\n", name.c_str());
            return false;
        }
        std::vector<INPUT> inputs;
        auto add = [&](WORD vk, bool up) {
            INPUT in{};
            in.type = INPUT_KEYBOARD;
            in.ki.wVk = vk;
            in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
            in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
            inputs.push_back(in);
        };
        for (WORD m : held)
            add(m, false);
        add(key, false);
        add(key, true);
        for (auto it = held.rbegin(); it != held.rend(); ++it)
            add(*it, true);
        if (SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) !=
            inputs.size()) {
            std::printf("input refused\n");
            return false;
        }
        // Handled before the next key, and before the call returns.
        Sleep(60);
        DWORD_PTR ignored = 0;
        send(window, WM_NULL, 0, 0, &ignored);
    }
    std::printf("pressed\n");
    return true;
}

// The client side of UI Automation, looked up: the library has no import library here, and
// its header does not compile as C++.
using UiaNode = void*;
struct UiaClient {
    using NodeFromHandle = HRESULT(WINAPI*)(HWND, UiaNode*);
    using GetProperty = HRESULT(WINAPI*)(UiaNode, PROPERTYID, VARIANT*);
    using Navigate = HRESULT(WINAPI*)(UiaNode, int, void*, void*, SAFEARRAY**, BSTR*);
    using NodeFromVariant = HRESULT(WINAPI*)(VARIANT*, UiaNode*);
    using NodeRelease = BOOL(WINAPI*)(UiaNode);
    NodeFromHandle nodeFromHandle = nullptr;
    GetProperty getProperty = nullptr;
    Navigate navigate = nullptr;
    NodeFromVariant nodeFromVariant = nullptr;
    NodeRelease release = nullptr;

    bool load() {
        HMODULE dll = LoadLibraryW(L"uiautomationcore.dll");
        if (dll == nullptr)
            return false;
        auto get = [dll](const char* name) {
            return reinterpret_cast<void (*)()>(GetProcAddress(dll, name));
        };
        nodeFromHandle = reinterpret_cast<NodeFromHandle>(get("UiaNodeFromHandle"));
        getProperty = reinterpret_cast<GetProperty>(get("UiaGetPropertyValue"));
        navigate = reinterpret_cast<Navigate>(get("UiaNavigate"));
        nodeFromVariant = reinterpret_cast<NodeFromVariant>(get("UiaHUiaNodeFromVariant"));
        release = reinterpret_cast<NodeRelease>(get("UiaNodeRelease"));
        return nodeFromHandle && getProperty && navigate && nodeFromVariant && release;
    }

    std::string text(UiaNode node, PROPERTYID property) {
        VARIANT v;
        VariantInit(&v);
        std::string out;
        if (SUCCEEDED(getProperty(node, property, &v))) {
            if (v.vt == VT_BSTR && v.bstrVal != nullptr)
                out = utf8(std::wstring(v.bstrVal, SysStringLen(v.bstrVal)));
            else if (v.vt == VT_I4)
                out = std::to_string(v.lVal);
            else if (v.vt == VT_BOOL)
                out = v.boolVal ? "1" : "0";
        }
        VariantClear(&v);
        return out;
    }

    // The node in direction from node (3 first child, 1 next sibling); null for none.
    UiaNode step(UiaNode node, int direction) {
        struct {
            int type; // ConditionType_True
        } all{0};
        struct {
            void* view;
            int scope;
            PROPERTYID* properties;
            int propertyCount;
            PATTERNID* patterns;
            int patternCount;
            int mode;
        } request{&all, 1 /* TreeScope_Element */, nullptr, 0, nullptr, 0, 1 /* Full */};
        SAFEARRAY* data = nullptr;
        BSTR structure = nullptr;
        UiaNode next = nullptr;
        if (SUCCEEDED(navigate(node, direction, &all, &request, &data, &structure)) && data) {
            LONG at[2] = {0, 0};
            VARIANT v;
            VariantInit(&v);
            if (SUCCEEDED(SafeArrayGetElement(data, at, &v)))
                nodeFromVariant(&v, &next);
            // The node keeps its own reference; the variant's goes with the array.
            VariantClear(&v);
            SafeArrayDestroy(data);
        }
        SysFreeString(structure);
        return next;
    }

    void walk(UiaNode node, int depth) {
        for (UiaNode child = step(node, 3); child != nullptr;) {
            std::printf("%s%s|%s|%s|%s\n",
                        std::string(static_cast<std::size_t>(depth) * 2, ' ').c_str(),
                        text(child, UIA_ControlTypePropertyId).c_str(),
                        text(child, UIA_AutomationIdPropertyId).c_str(),
                        text(child, UIA_NamePropertyId).c_str(),
                        text(child, UIA_HasKeyboardFocusPropertyId).c_str());
            walk(child, depth + 1);
            UiaNode next = step(child, 1);
            release(child);
            child = next;
        }
    }
};

bool uiaTree(HWND window) {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    UiaClient client;
    UiaNode root = nullptr;
    if (!client.load() || FAILED(client.nodeFromHandle(window, &root)) || root == nullptr) {
        std::printf("no automation\n");
        return false;
    }
    client.walk(root, 0);
    client.release(root);
    std::fflush(stdout);
    return true;
}

// Runs one command; prints its line and returns whether it succeeded.
bool run(const std::vector<std::string>& a) {
    const std::string& c = a[0];
    auto need = [&](std::size_t n) {
        if (a.size() == n + 1)
            return true;
        std::printf("error: %s takes %u arguments\n", c.c_str(), static_cast<unsigned>(n));
        return false;
    };
    if (c == "wait-window") {
        if (a.size() != 2 && a.size() != 3) {
            std::printf("error: wait-window SECONDS [shown]\n");
            return false;
        }
        const double seconds = static_cast<double>(number(a[1]));
        if (!waitFor(true, seconds)) {
            std::printf("no window\n");
            return false;
        }
        HWND w = findWindow();
        // The window exists before start-up has decided whether to show it; once a sent
        // message comes back the program pumps messages, and a moment later it is settled.
        DWORD_PTR ignored = 0;
        send(w, WM_NULL, 0, 0, &ignored);
        Sleep(300);
        if (a.size() == 3 && a[2] == "shown") {
            const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
            while (!IsWindowVisible(w) && GetTickCount64() < end)
                Sleep(50);
        }
        wchar_t title[512] = {};
        GetWindowTextW(w, title, 512);
        std::printf("%s|%d\n", utf8(title).c_str(), IsWindowVisible(w) ? 1 : 0);
        return true;
    }
    if (c == "wait-gone") {
        if (!need(1))
            return false;
        const bool gone = waitFor(false, static_cast<double>(number(a[1])));
        std::printf(gone ? "gone\n" : "still there\n");
        return gone;
    }
    if (c == "sleep") {
        if (!need(1))
            return false;
        Sleep(static_cast<DWORD>(number(a[1])));
        std::printf("slept\n");
        return true;
    }
    if (c == "reg") {
        if (!need(2))
            return false;
        std::printf("%s\n", readValue(a[1], a[2]).c_str());
        return true;
    }
    if (c == "start-timed") {
        if (a.size() != 3 && a.size() != 4) {
            std::printf("error: start-timed SECONDS EXE [ARG]\n");
            return false;
        }
        return startTimed(static_cast<double>(number(a[1])), a[2], a.size() == 4 ? a[3] : "");
    }
    if (c == "run") {
        if (a.size() < 3) {
            std::printf("error: run SECONDS COMMAND-LINE\n");
            return false;
        }
        std::string line = a[2];
        for (std::size_t i = 3; i < a.size(); ++i)
            line += " " + a[i];
        std::wstring command = wide(line);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process)) {
            std::printf("failed %lu\n", static_cast<unsigned long>(GetLastError()));
            return false;
        }
        const DWORD waited =
            WaitForSingleObject(process.hProcess, static_cast<DWORD>(number(a[1]) * 1000));
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        if (waited != WAIT_OBJECT_0) {
            std::printf("timeout\n");
            return false;
        }
        std::printf("%lu\n", static_cast<unsigned long>(code));
        return true;
    }
    if (c == "task" || c == "task-delete") {
        if (!need(1))
            return false;
        Win32TaskScheduler scheduler;
        if (c == "task-delete") {
            const bool ok = scheduler.deleteTask(wide(a[1]));
            std::printf(ok ? "deleted\n" : "failed\n");
            return ok;
        }
        std::wstring xml;
        std::printf(scheduler.readTask(wide(a[1]), &xml) ? "present\n" : "absent\n");
        return true;
    }
    if (c == "smc-get")
        return need(1) && smcGet(a[1]);
    if (c == "smc-set")
        return need(3) && smcSet(a[1], a[2], a[3]);
    if (c == "smc-byte" || c == "smc-remove" || c == "smc-writable")
        return smcChange(a);
    if (c == "smc-faults") {
        if (!need(2))
            return false;
        const unsigned char faults[2] = {static_cast<unsigned char>(number(a[1])),
                                         static_cast<unsigned char>(number(a[2]))};
        const bool ok = simulator(SMC_SIM_IOCTL_SET_FAULTS, faults, 2, nullptr, 0);
        std::printf(ok ? "set\n" : "failed\n");
        return ok;
    }
    if (c == "smc-query-mode") {
        unsigned char mode = 0xFF;
        const bool ok = need(0) && simulator(SMC_IOCTL_QUERY_MODE, nullptr, 0, &mode, 1);
        std::printf(ok ? "%u\n" : "failed\n", mode);
        return ok;
    }
    if (c == "smc-mode") {
        if (!need(1))
            return false;
        const unsigned char machine = static_cast<unsigned char>(number(a[1]));
        const bool ok = simulator(SMC_SIM_IOCTL_SET_MODE, &machine, 1, nullptr, 0);
        std::printf(ok ? "set\n" : "failed\n");
        return ok;
    }
    if (c == "smc-reset") {
        const bool ok = simulator(SMC_SIM_IOCTL_RESET, nullptr, 0, nullptr, 0);
        std::printf(ok ? "reset\n" : "failed\n");
        return ok;
    }
    if (c == "smc-writes")
        return need(0) && smcWrites();
    if (c == "smc-raw")
        return need(1) && smcRaw(a[1]);
    if (c == "smc-table")
        return need(1) && smcTable(a[1]);
    if (c == "hold") {
        // Wine closes a desktop a moment after the last process on it ends, and a program
        // started while the old desktop goes away can find no parent for its window. One hidden
        // window held for the whole scenario keeps a single desktop alive between starts.
        HWND anchor = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
        if (anchor == nullptr) {
            std::printf("failed\n");
            return false;
        }
        std::printf("holding\n");
        std::fflush(stdout);
        MSG message{};
        while (GetMessageW(&message, nullptr, 0, 0) > 0)
            DispatchMessageW(&message);
        return true;
    }
    HWND window = findWindow();
    if (window == nullptr) {
        std::printf("no window\n");
        return false;
    }
    if (c == "send" || c == "post") {
        if (!need(3))
            return false;
        const auto message = static_cast<UINT>(number(a[1]));
        const auto wParam = static_cast<WPARAM>(number(a[2]));
        const auto lParam = static_cast<LPARAM>(number(a[3]));
        if (c == "post") {
            const bool ok = PostMessageW(window, message, wParam, lParam) != 0;
            std::printf(ok ? "posted\n" : "post failed\n");
            return ok;
        }
        DWORD_PTR result = 0;
        const bool ok = send(window, message, wParam, lParam, &result);
        std::printf(ok ? "%lld\n" : "send failed\n", static_cast<long long>(result));
        return ok;
    }
    if (c == "command") {
        if (!need(1))
            return false;
        DWORD_PTR result = 0;
        const bool ok = send(window, WM_COMMAND, static_cast<WPARAM>(number(a[1])), 0, &result);
        std::printf(ok ? "%lld\n" : "send failed\n", static_cast<long long>(result));
        return ok;
    }
    if (c == "down" || c == "move" || c == "up" || c == "click") {
        if (!need(2))
            return false;
        const int x = static_cast<int>(number(a[1])), y = static_cast<int>(number(a[2]));
        bool ok = true;
        if (c == "down" || c == "click")
            ok = ok && pointer(window, WM_LBUTTONDOWN, x, y);
        if (c == "move")
            ok = ok && pointer(window, WM_MOUSEMOVE, x, y);
        if (c == "up" || c == "click")
            ok = ok && pointer(window, WM_LBUTTONUP, x, y);
        std::printf(ok ? "done\n" : "failed\n");
        return ok;
    }
    if (c == "client") {
        RECT r{};
        POINT origin{0, 0};
        if (!GetClientRect(window, &r) || !ClientToScreen(window, &origin)) {
            std::printf("failed\n");
            return false;
        }
        std::printf("%ld %ld %ld %ld\n", origin.x, origin.y, r.right - r.left, r.bottom - r.top);
        return true;
    }
    if (c == "paint") {
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        DWORD_PTR ignored = 0;
        send(window, WM_NULL, 0, 0, &ignored);
        // The X server shows the window surface a moment after the paint.
        Sleep(150);
        std::printf("painted\n");
        return true;
    }
    if (c == "memory")
        return need(0) && memory(window);
    if (c == "crash-thread")
        return need(0) && crashThread(window);
    if (c == "overflow-stack")
        return need(1) && overflowWindowStack(window, a[1]);
    if (c == "workarea") {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof(monitor);
        if (!GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) {
            std::printf("failed\n");
            return false;
        }
        const RECT& r = monitor.rcWork;
        std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        return true;
    }
    if (c == "resources")
        return need(0) && resources(window);
    if (c == "keys")
        return a.size() >= 2 && pressKeys(window, {a.begin() + 1, a.end()});
    if (c == "uia-tree")
        return need(0) && uiaTree(window);
    if (c == "window") {
        RECT r{};
        if (!GetWindowRect(window, &r)) {
            std::printf("failed\n");
            return false;
        }
        std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        return true;
    }
    std::printf("error: unknown command %s\n", c.c_str());
    return false;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    std::vector<std::vector<std::string>> commands(1);
    for (int i = 1; i < argc; ++i) {
        const std::string arg = utf8(argv[i]);
        if (arg == ",")
            commands.emplace_back();
        else
            commands.back().push_back(arg);
    }
    bool ok = true;
    for (const auto& command : commands) {
        if (command.empty())
            continue;
        ok = run(command) && ok;
        std::fflush(stdout);
    }
    return ok ? 0 : 1;
}
