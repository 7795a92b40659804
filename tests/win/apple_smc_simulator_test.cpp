// The program's real driver installation and SMC backend against the simulator driver, in the
// Wine session that scripts/test keeps for the whole run.
#include "fakes/fake_system_info.h"
#include "fakes/platform_fixture.h"
#include "hardware/apple_smc_controller.h"
#include "hardware/smc_codec.h"
#include "hardware/smc_driver_service.h"
#include "platform/win32/win32_device_io.h"
#include "platform/win32/win32_service_manager.h"
#include "platform/win32/win32_system_info.h"
#include "win/smc_simulator.h"

#include <windows.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

const wchar_t* const INSTALLED = L"C:\\Windows\\System32\\drivers\\applesmc.sys";

std::uint64_t fileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (std::uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

class AppleSmcUnderWine : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        platform.serviceManager = &scm;
        platform.systemInfo = &info;
        platform.deviceIo = &io;
    }
    Win32ServiceManager scm;
    FakeSystemInfo info; // only the program's path matters to the installer
    Win32DeviceIo io;
};

std::vector<SmcSimLogEntry> entries(SmcSimulator& sim) {
    static SmcSimLog log; // too large for comfort on the stack
    std::memset(&log, 0, sizeof log);
    EXPECT_TRUE(sim.log(&log));
    return std::vector<SmcSimLogEntry>(log.entries, log.entries + log.stored);
}

} // namespace

TEST_F(AppleSmcUnderWine, TheInstallerCopiesRegistersAndStartsTheDriver) {
    info.path = SmcSimulator::stageInProgramFiles();
    ASSERT_FALSE(info.path.empty());
    installSmcDriverService();

    std::wstring source = info.modulePath();
    source = source.substr(0, source.rfind(L'\\')) + L"\\applesmc.sys";
    ASSERT_NE(fileSize(source), 0u) << "applesmc.sys is expected beside the test binary";
    EXPECT_EQ(fileSize(INSTALLED), fileSize(source));

    SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    ASSERT_NE(manager, nullptr);
    SC_HANDLE service =
        OpenServiceW(manager, L"applesmc", SERVICE_QUERY_CONFIG | SERVICE_QUERY_STATUS);
    ASSERT_NE(service, nullptr);
    std::vector<BYTE> buffer(8192);
    DWORD needed = 0;
    ASSERT_TRUE(QueryServiceConfigW(service,
                                    reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data()),
                                    static_cast<DWORD>(buffer.size()), &needed));
    const auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
    EXPECT_EQ(config->dwServiceType, DWORD(SERVICE_KERNEL_DRIVER));
    EXPECT_EQ(config->dwStartType, DWORD(SERVICE_DEMAND_START));
    EXPECT_EQ(config->dwErrorControl, DWORD(SERVICE_ERROR_NORMAL));
    EXPECT_EQ(std::wstring(config->lpDisplayName), L"Apple SMC Driver");
    EXPECT_NE(std::wstring(config->lpBinaryPathName).find(L"drivers\\applesmc.sys"),
              std::wstring::npos);
    SERVICE_STATUS status{};
    ASSERT_TRUE(QueryServiceStatus(service, &status));
    EXPECT_EQ(status.dwCurrentState, DWORD(SERVICE_RUNNING));
    CloseServiceHandle(service);
    CloseServiceHandle(manager);

    // Present and running: the second run starts nothing new and breaks nothing.
    installSmcDriverService();
    EXPECT_TRUE(SmcSimulator().isOpen());
}

TEST_F(AppleSmcUnderWine, TheBackendReadsFansAndSensorsFromTheDriver) {
    ASSERT_TRUE(SmcSimulator::ensureRunning());
    SmcSimulator sim;
    ASSERT_TRUE(sim.reset());
    ASSERT_TRUE(sim.setFloat("TC0P", 71.0f)); // a temperature set from outside

    AppleSmcController smc;
    ASSERT_TRUE(smc.connect(SystemIdentity{}));
    EXPECT_EQ(smc.statusText(), L"AppleSMC aktiv (Port I/O via applesmc.sys)");
    const auto fans = smc.fans();
    EXPECT_EQ(fans[0].currentRpm, 2160);
    EXPECT_EQ(fans[0].minRpm, 1200);
    EXPECT_EQ(fans[0].maxRpm, 6156);
    EXPECT_EQ(fans[0].targetRpm, 2000);
    EXPECT_FALSE(fans[0].manual);
    EXPECT_EQ(fans[1].maxRpm, 5700);

    double cpu = 0, gpu = 0, power = 0;
    std::vector<SensorReading> readings;
    ASSERT_TRUE(smc.update(&cpu, &gpu, &power, &readings));
    EXPECT_EQ(readings.size(), 14u);
    EXPECT_DOUBLE_EQ(cpu, 71.0);
    EXPECT_DOUBLE_EQ(gpu, 48.0);
    EXPECT_DOUBLE_EQ(power, 35.5);
    EXPECT_EQ(readings[1].key, L"TC0F");
    EXPECT_DOUBLE_EQ(readings[1].value, 55.5);

    ASSERT_TRUE(sim.setMode(1));
    AppleSmcController t2;
    ASSERT_TRUE(t2.connect(SystemIdentity{}));
    EXPECT_EQ(t2.statusText(), L"AppleSMC aktiv (T2 MMIO Direct-Mode via applesmc.sys)");
}

TEST_F(AppleSmcUnderWine, TheDriverReceivesExactlyTheBytesOfAFanCommand) {
    ASSERT_TRUE(SmcSimulator::ensureRunning());
    SmcSimulator sim;
    AppleSmcController smc;
    ASSERT_TRUE(smc.connect(SystemIdentity{}));
    ASSERT_TRUE(sim.reset()); // forget the connection's own request

    ASSERT_TRUE(smc.setFanRpm(0, 2500));
    auto log = entries(sim);
    ASSERT_EQ(log.size(), 2u);
    // The target first, then the force.
    EXPECT_EQ(log[0].code, IOCTL_SMC_WRITE_KEY);
    EXPECT_EQ(log[0].inputSize, 9u);
    const std::uint8_t target[] = {'F', '0', 'T', 'g', 4, 0x00, 0x40, 0x1C, 0x45};
    EXPECT_EQ(std::memcmp(log[0].input, target, sizeof target), 0);
    EXPECT_EQ(log[1].code, IOCTL_SMC_WRITE_KEY);
    EXPECT_EQ(log[1].inputSize, 6u);
    EXPECT_EQ(std::memcmp(log[1].input, "F0Md\x01\x01", 6), 0);
    EXPECT_TRUE(log[0].succeeded && log[1].succeeded);

    const auto fans = smc.fans();
    EXPECT_TRUE(fans[0].manual);
    EXPECT_EQ(fans[0].targetRpm, 2500);

    ASSERT_TRUE(sim.reset());
    ASSERT_TRUE(smc.setFanRpm(1, 3000));
    EXPECT_TRUE(smc.setAutomatic());
    log = entries(sim);
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(std::memcmp(log[2].input, "F0Md\x01\x00", 6), 0);
    EXPECT_EQ(std::memcmp(log[3].input, "F1Md\x01\x00", 6), 0);
    EXPECT_EQ(std::memcmp(log[4].input, "FS! \x01\x00", 6), 0);
    SmcSimKey key{};
    ASSERT_TRUE(sim.getKey("F1Md", &key));
    EXPECT_EQ(key.data[0], 0);
    ASSERT_TRUE(sim.getKey("F1Tg", &key));
    double rpm = 0;
    ASSERT_TRUE(decodeSmcFloat(key.data, &rpm));
    EXPECT_EQ(rpm, 3000);

    // A read-only mode key: the force fails, and the release that follows it too.
    ASSERT_TRUE(sim.reset());
    const std::uint8_t zero = 0;
    ASSERT_TRUE(sim.setKey("F1Md", 1, &zero, false));
    EXPECT_FALSE(smc.setFanRpm(1, 2200));
    log = entries(sim);
    ASSERT_EQ(log.size(), 3u);
    EXPECT_TRUE(log[0].succeeded);
    EXPECT_FALSE(log[1].succeeded || log[2].succeeded);
    EXPECT_EQ(std::memcmp(log[2].input, "F1Md\x01\x00", 6), 0);
}

namespace {

// Runs smc_sim_ctl.exe from beside the test binary; its exit code, its output in *out.
DWORD runControlTool(const std::wstring& arguments, std::string* out) {
    std::wstring exe = Win32SystemInfo().modulePath();
    exe.resize(exe.rfind(L'\\'));
    std::wstring command = L"\"" + exe + L"\\smc_sim_ctl.exe\" " + arguments;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return 255;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &process);
    CloseHandle(writeEnd);
    DWORD code = 255;
    if (started) {
        char buffer[512];
        DWORD n = 0;
        while (ReadFile(readEnd, buffer, sizeof buffer, &n, nullptr) && n > 0)
            out->append(buffer, n);
        WaitForSingleObject(process.hProcess, 10000);
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(readEnd);
    return code;
}

} // namespace

TEST_F(AppleSmcUnderWine, TheControlToolSetsAndReadsTheSimulatorFromOutside) {
    ASSERT_TRUE(SmcSimulator::ensureRunning());
    std::string out;
    ASSERT_EQ(runControlTool(L"reset", &out), 0u);
    ASSERT_EQ(runControlTool(L"setf TC0P 71.5", &out), 0u);
    ASSERT_EQ(runControlTool(L"setsp78 TG0P 50.25", &out), 0u);
    AppleSmcController smc;
    ASSERT_TRUE(smc.connect(SystemIdentity{}));
    double cpu = 0, gpu = 0, power = 0;
    std::vector<SensorReading> readings;
    smc.update(&cpu, &gpu, &power, &readings);
    EXPECT_DOUBLE_EQ(cpu, 71.5);
    EXPECT_DOUBLE_EQ(gpu, 50.25);

    ASSERT_TRUE(smc.setFanRpm(1, 2500));
    out.clear();
    ASSERT_EQ(runControlTool(L"get F1Tg", &out), 0u);
    EXPECT_EQ(out, "F1Tg 4 1 00 40 1C 45 2500\n");
    out.clear();
    ASSERT_EQ(runControlTool(L"log", &out), 0u);
    EXPECT_NE(out.find("220004 6 1 46 31 4D 64 01 01\n"), std::string::npos) << out;
    EXPECT_EQ(runControlTool(L"get ZZZZ", &out), 1u);
    EXPECT_EQ(runControlTool(L"bogus", &out), 2u);
}

namespace {

// Leaves the simulator on its start-up table for the cases that follow.
struct OlderTable {
    OlderTable() {
        EXPECT_TRUE(SmcSimulator::ensureRunning());
        EXPECT_TRUE(sim.reset() && sim.setTable(SMC_SIM_TABLE_OLDER));
    }
    ~OlderTable() { sim.reset(); }
    // Forgets the requests so far; keys and their values go back to the table's.
    bool restart() { return sim.reset() && sim.setTable(SMC_SIM_TABLE_OLDER); }
    SmcSimulator sim;
};

// How often each key was asked for (reads only).
std::map<std::string, int> readsPerKey(const std::vector<SmcSimLogEntry>& log) {
    std::map<std::string, int> reads;
    for (const auto& e : log)
        if (e.code == IOCTL_SMC_READ_KEY)
            ++reads[std::string(reinterpret_cast<const char*>(e.input), 4)];
    return reads;
}

} // namespace

// The second backend is what a reload builds after the table was switched: it learns the keys'
// new sizes.
TEST_F(AppleSmcUnderWine, OneTickAsksEachKeyOnceOnBothGenerations) {
    OlderTable older;
    for (std::uint8_t table : {SMC_SIM_TABLE_T2, SMC_SIM_TABLE_OLDER}) {
        ASSERT_TRUE(older.sim.reset() && older.sim.setTable(table));
        AppleSmcController smc;
        ASSERT_TRUE(smc.connect(SystemIdentity{}));
        ASSERT_TRUE(older.sim.reset() && older.sim.setTable(table));
        EXPECT_EQ(smc.fans()[0].currentRpm, table == SMC_SIM_TABLE_T2 ? 2160 : 1800);
        double cpu = 0, gpu = 0, power = 0;
        std::vector<SensorReading> readings;
        EXPECT_TRUE(smc.update(&cpu, &gpu, &power, &readings));
        const auto log = entries(older.sim);
        const auto reads = readsPerKey(log);
        // T2: four speeds and the mode per fan, 14 sensors; older: four speeds per fan, the
        // mask, 9 sensors. Every request answered.
        EXPECT_EQ(reads.size(), table == SMC_SIM_TABLE_T2 ? 24u : 18u);
        EXPECT_EQ(log.size(), reads.size());
        for (const auto& [key, count] : reads)
            EXPECT_EQ(count, 1) << key;
        for (const auto& e : log)
            EXPECT_TRUE(e.succeeded) << std::string(reinterpret_cast<const char*>(e.input), 4);
    }
}

TEST_F(AppleSmcUnderWine, TheOlderGenerationGetsFpe2TargetsAndTheForceMask) {
    OlderTable older;
    AppleSmcController smc;
    ASSERT_TRUE(smc.connect(SystemIdentity{}));
    auto fans = smc.fans();
    EXPECT_EQ(fans[0].currentRpm, 1800);
    EXPECT_EQ(fans[0].minRpm, 1200);
    EXPECT_EQ(fans[0].maxRpm, 6200);
    EXPECT_EQ(fans[1].minRpm, 1300);
    EXPECT_EQ(fans[1].maxRpm, 6500);

    ASSERT_TRUE(older.restart());
    ASSERT_TRUE(smc.setFanPercent(0, 15));
    ASSERT_TRUE(smc.setFanPercent(1, 15));
    auto log = entries(older.sim);
    std::vector<std::vector<std::uint8_t>> writes;
    for (const auto& e : log)
        if (e.code == IOCTL_SMC_WRITE_KEY)
            writes.emplace_back(e.input, e.input + e.inputSize);
    EXPECT_EQ(writes, (std::vector<std::vector<std::uint8_t>>{
                          {'F', '0', 'T', 'g', 2, 0x1E, 0x78},
                          {'F', 'S', '!', ' ', 2, 0x00, 0x01},
                          {'F', '1', 'T', 'g', 2, 0x20, 0x80},
                          {'F', 'S', '!', ' ', 2, 0x00, 0x03},
                      }));
    fans = smc.fans();
    EXPECT_TRUE(fans[0].manual && fans[1].manual);
    EXPECT_EQ(fans[1].targetRpm, 2080);

    EXPECT_TRUE(smc.setAutomatic());
    SmcSimKey mask{};
    ASSERT_TRUE(older.sim.getKey("FS! ", &mask));
    EXPECT_EQ(mask.size, 2);
    EXPECT_EQ(mask.data[0], 0);
    EXPECT_EQ(mask.data[1], 0);
    log = entries(older.sim);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(std::memcmp(log.back().input, "FS! \x02\x00\x00", 7), 0);
}

namespace {

struct Device {
    Device() : handle(io.open(L"\\\\.\\APPLESMC")) {}
    ~Device() {
        if (handle != INVALID_DEVICE_HANDLE)
            io.close(handle);
    }
    bool send(std::uint32_t code, std::vector<std::uint8_t> in, std::uint32_t outSize,
              std::vector<std::uint8_t>* out = nullptr) {
        std::vector<std::uint8_t> reply(outSize ? outSize : 1);
        std::uint32_t n = 0;
        const bool ok =
            io.control(handle, code, in.empty() ? nullptr : in.data(),
                       static_cast<std::uint32_t>(in.size()), reply.data(), outSize, &n);
        if (out)
            *out = std::vector<std::uint8_t>(reply.begin(), reply.begin() + (ok ? n : 0));
        return ok;
    }
    Win32DeviceIo io;
    DeviceHandle handle;
};

std::vector<std::uint8_t> request(const char* text, std::size_t n) {
    return std::vector<std::uint8_t>(text, text + n);
}

} // namespace

// The simulator is the driver itself: on either of the SMC's interfaces it writes only the fan
// keys, reports the interface it chose, and fails rather than hangs when the SMC goes quiet.
TEST_F(AppleSmcUnderWine, TheDriverWritesOnlyFanKeysOnEitherInterface) {
    ASSERT_TRUE(SmcSimulator::ensureRunning());
    SmcSimulator sim;
    for (std::uint8_t machine : {SMC_SIM_MACHINE_PORTS, SMC_SIM_MACHINE_T2}) {
        ASSERT_TRUE(sim.reset() && sim.setMode(machine));
        const std::uint8_t limit = 100;
        ASSERT_TRUE(sim.setKey("BCLM", 1, &limit, true)); // writable for the SMC, not the driver
        Device d;
        std::vector<std::uint8_t> reply;
        ASSERT_TRUE(d.send(IOCTL_SMC_QUERY_MODE, {}, 1, &reply));
        EXPECT_EQ(reply, std::vector<std::uint8_t>{machine == SMC_SIM_MACHINE_T2});
        EXPECT_FALSE(d.send(IOCTL_SMC_WRITE_KEY, request("BCLM\x01\x32", 6), 0));
        EXPECT_FALSE(d.send(IOCTL_SMC_WRITE_KEY, request("F0Ac\x04\0\0\0\0", 9), 0));
        EXPECT_TRUE(d.send(IOCTL_SMC_WRITE_KEY, request("F0Tg\x04\x00\x40\x1C\x45", 9), 0));
        SmcSimKey k{};
        ASSERT_TRUE(sim.getKey("BCLM", &k));
        EXPECT_EQ(k.data[0], 100);
        ASSERT_TRUE(sim.getKey("F0Ac", &k));
        EXPECT_EQ(k.data[3], 0x45);
        ASSERT_TRUE(sim.getKey("F0Tg", &k));
        EXPECT_EQ(std::memcmp(k.data, "\x00\x40\x1C\x45", 4), 0);
        ASSERT_TRUE(d.send(IOCTL_SMC_READ_KEY, request("F0Tg\x04", 5), 4, &reply));
        EXPECT_EQ(reply, request("\x00\x40\x1C\x45", 4));
        const auto log = entries(sim);
        ASSERT_EQ(log.size(), 5u);
        EXPECT_FALSE(log[1].succeeded || log[2].succeeded);
    }
    ASSERT_TRUE(sim.setMode(SMC_SIM_MACHINE_NONE));
    {
        Device d;
        EXPECT_FALSE(d.send(IOCTL_SMC_QUERY_MODE, {}, 1));
        EXPECT_FALSE(d.send(IOCTL_SMC_READ_KEY, request("F0Ac\x04", 5), 4));
    }
    ASSERT_TRUE(sim.reset() && sim.setFaults(true, false));
    Device d;
    const DWORD start = GetTickCount();
    for (int i = 0; i < 20; ++i)
        EXPECT_FALSE(d.send(IOCTL_SMC_READ_KEY, request("F0Ac\x04", 5), 4));
    EXPECT_LT(GetTickCount() - start, 3000u);
    ASSERT_TRUE(sim.reset());
    EXPECT_TRUE(d.send(IOCTL_SMC_READ_KEY, request("F0Ac\x04", 5), 4));
}
