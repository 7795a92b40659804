#include "win/smc_simulator.h"

#include "fakes/fake_system_info.h"
#include "hardware/smc_codec.h"
#include "hardware/smc_driver_service.h"
#include "platform/platform.h"
#include "platform/win32/win32_service_manager.h"
#include "platform/win32/win32_system_info.h"

#include <windows.h>

#include <cstring>

std::wstring SmcSimulator::stageInProgramFiles() {
    std::wstring source = Win32SystemInfo().modulePath();
    source = source.substr(0, source.rfind(L'\\')) + L"\\applesmc.sys";
    const std::wstring folder = Win32ServiceManager().programFilesFolder() + L"\\Ventrasol Tests";
    CreateDirectoryW(folder.c_str(), nullptr);
    if (!CopyFileW(source.c_str(), (folder + L"\\applesmc.sys").c_str(), FALSE))
        return {};
    return folder + L"\\win_tests.exe";
}

bool SmcSimulator::ensureRunning() {
    const Platform saved = platform;
    Win32ServiceManager scm;
    FakeSystemInfo info;
    info.path = stageInProgramFiles();
    platform.serviceManager = &scm;
    platform.systemInfo = &info;
    installSmcDriverService();
    platform = saved;
    return SmcSimulator().isOpen();
}

SmcSimulator::SmcSimulator()
    : handle(CreateFileW(L"\\\\.\\APPLESMC", GENERIC_READ | GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr)) {}

SmcSimulator::~SmcSimulator() {
    if (isOpen())
        CloseHandle(handle);
}

bool SmcSimulator::isOpen() const {
    return handle != INVALID_HANDLE_VALUE;
}

bool SmcSimulator::send(std::uint32_t code, const void* input, std::uint32_t inputSize,
                        void* output, std::uint32_t outputSize) {
    DWORD count = 0;
    return isOpen() && DeviceIoControl(handle, code, const_cast<void*>(input), inputSize, output,
                                       outputSize, &count, nullptr);
}

bool SmcSimulator::reset() {
    return send(SMC_SIM_IOCTL_RESET, nullptr, 0, nullptr, 0);
}

bool SmcSimulator::setKey(const char* key, std::uint8_t size, const std::uint8_t* data,
                          bool writable) {
    SmcSimKey k{};
    std::memcpy(k.key, key, 4);
    k.size = size;
    k.flags = writable ? SMC_SIM_FLAG_WRITABLE : 0;
    if (data)
        std::memcpy(k.data, data, size > 4 ? 4 : size);
    return send(SMC_SIM_IOCTL_SET_KEY, &k, sizeof k, nullptr, 0);
}

bool SmcSimulator::setFloat(const char* key, float value, bool writable) {
    const auto bytes = encodeSmcFloat(value);
    return setKey(key, 4, bytes.data(), writable);
}

bool SmcSimulator::removeKey(const char* key) {
    return setKey(key, 0, nullptr, false);
}

bool SmcSimulator::getKey(const char* key, SmcSimKey* out) {
    SmcSimKey buffer{};
    std::memcpy(buffer.key, key, 4);
    if (!send(SMC_SIM_IOCTL_GET_KEY, &buffer, 4, &buffer, sizeof buffer))
        return false;
    *out = buffer;
    return true;
}

bool SmcSimulator::setMode(std::uint8_t mode) {
    return send(SMC_SIM_IOCTL_SET_MODE, &mode, 1, nullptr, 0);
}

bool SmcSimulator::setFaults(bool silent, bool gone, std::uint8_t slowMs) {
    const std::uint8_t faults[3] = {silent, gone, slowMs};
    return send(SMC_SIM_IOCTL_SET_FAULTS, faults, 3, nullptr, 0);
}

bool SmcSimulator::setTable(std::uint8_t table) {
    return send(SMC_SIM_IOCTL_SET_TABLE, &table, 1, nullptr, 0);
}

bool SmcSimulator::log(SmcSimLog* out) {
    return send(SMC_SIM_IOCTL_GET_LOG, nullptr, 0, out, sizeof *out);
}
