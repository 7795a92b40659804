#include "hardware/apple_smc_controller.h"

#include "fakes/fake_service_manager.h"
#include "fakes/fake_smc_device.h"
#include "fakes/fake_system_info.h"
#include "fakes/platform_fixture.h"
#include "hardware/fan_handback.h"
#include "hardware/smc_codec.h"

#include <cmath>
#include <limits>

using Write = std::pair<std::string, std::vector<std::uint8_t>>;

namespace {

class AppleSmc : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        platform.deviceIo = &device;
        platform.serviceManager = &scm;
        platform.systemInfo = &info;
    }
    // Connected, with the connection's own requests forgotten.
    std::unique_ptr<AppleSmcController> connected() {
        auto smc = std::make_unique<AppleSmcController>();
        EXPECT_TRUE(smc->connect(SystemIdentity{}));
        device.requests.clear();
        return smc;
    }
    std::vector<std::string> requestedKeys() const {
        std::vector<std::string> keys;
        for (const auto& r : device.requests)
            keys.emplace_back(r.input.begin(),
                              r.input.begin() + std::min<std::size_t>(4, r.input.size()));
        return keys;
    }

    FakeSmcDevice device;
    FakeServiceManager scm;
    FakeSystemInfo info;
};

} // namespace

TEST_F(AppleSmc, WithoutTheDeviceItWorksDegraded) {
    device.present = false;
    AppleSmcController smc;
    EXPECT_EQ(smc.statusText(), L"AppleSMC nicht initialisiert");
    EXPECT_FALSE(smc.connect(SystemIdentity{}));
    EXPECT_FALSE(smc.isConnected());
    EXPECT_EQ(smc.statusText(), L"AppleSMC Treiber nicht verbunden (applesmc.sys prüfen)");
    EXPECT_EQ(smc.backendName(), L"Apple SMC Kernel-Treiber (Boot Camp)");

    const auto fans = smc.fans();
    ASSERT_EQ(fans.size(), 2u);
    EXPECT_EQ(fans[0].label, L"Linker Lüfter (CPU)");
    EXPECT_EQ(fans[0].currentRpm, 1830);
    EXPECT_EQ(fans[0].minRpm, 1829);
    EXPECT_EQ(fans[0].maxRpm, 5779);
    EXPECT_EQ(fans[0].targetRpm, 1829);
    EXPECT_EQ(fans[1].index, 1);
    EXPECT_EQ(fans[1].label, L"Rechter Lüfter (GPU)");
    EXPECT_EQ(fans[1].currentRpm, 1700);
    EXPECT_EQ(fans[1].minRpm, 1692);
    EXPECT_EQ(fans[1].maxRpm, 5343);
    EXPECT_EQ(fans[1].targetRpm, 1692);
    EXPECT_FALSE(fans[0].manual || fans[1].manual);

    // Nothing could be read or sent, and every result says so.
    double cpu = 1, gpu = 2, power = 3;
    std::vector<SensorReading> readings(3);
    EXPECT_FALSE(smc.update(&cpu, &gpu, &power, &readings));
    EXPECT_TRUE(readings.empty());
    EXPECT_EQ(cpu, 1);
    EXPECT_EQ(gpu, 2);
    EXPECT_EQ(power, 3);
    EXPECT_FALSE(smc.setFanRpm(0, 2500));
    EXPECT_FALSE(smc.setFanPercent(0, 50));
    EXPECT_FALSE(smc.setAutomatic());
    EXPECT_TRUE(device.requests.empty());
    EXPECT_EQ(smc.generationText(), L"");
}

TEST_F(AppleSmc, ConnectInstallsTheServiceThenReportsTheDriversMode) {
    {
        AppleSmcController smc;
        EXPECT_TRUE(smc.connect(SystemIdentity{}));
        EXPECT_FALSE(scm.calls.empty()); // the installer ran first
        EXPECT_EQ(smc.statusText(), L"AppleSMC aktiv (Port I/O via applesmc.sys)");
        EXPECT_FALSE(smc.t2Mode());
    }
    EXPECT_TRUE(device.openHandles.empty()); // the destructor closed the device
    device.modeByte = 7;
    {
        AppleSmcController smc;
        EXPECT_TRUE(smc.connect(SystemIdentity{}));
        EXPECT_EQ(smc.statusText(), L"AppleSMC aktiv (T2 MMIO Direct-Mode via applesmc.sys)");
        smc.disconnect();
        EXPECT_FALSE(smc.isConnected());
        EXPECT_TRUE(device.openHandles.empty());
    }
    EXPECT_EQ(device.closes, 2);
    device.queryModeFails = true; // no answer: stays port I/O
    AppleSmcController smc;
    EXPECT_TRUE(smc.connect(SystemIdentity{}));
    EXPECT_EQ(smc.statusText(), L"AppleSMC aktiv (Port I/O via applesmc.sys)");
}

TEST_F(AppleSmc, FansAreReadWithTheirFilters) {
    auto smc = connected();
    auto fans = smc->fans();
    EXPECT_EQ(device.requests.size(), 10u); // one request per key, in the size learnt at connect
    EXPECT_EQ(fans[0].currentRpm, 2160);
    EXPECT_EQ(fans[0].minRpm, 1200);
    EXPECT_EQ(fans[0].maxRpm, 6156);
    EXPECT_EQ(fans[0].targetRpm, 2000);
    EXPECT_FALSE(fans[0].manual);
    EXPECT_EQ(fans[1].currentRpm, 2003);
    EXPECT_EQ(fans[1].maxRpm, 5700);

    device.setFloat("F0Mn", 500);
    device.setFloat("F0Mx", 1000);
    device.setFloat("F1Mn", 500.5f);
    device.setFloat("F1Mx", 1000.5f);
    const std::uint8_t manual = 1;
    device.setKey("F0Md", 1, &manual, true);
    device.oddReadCounts["F1Md"] = 0; // an odd reply leaves the mode as it was
    device.removeKey("F1Ac");         // a missing key leaves the speed
    fans = smc->fans();
    EXPECT_EQ(fans[0].minRpm, 1200);
    EXPECT_EQ(fans[0].maxRpm, 6156);
    EXPECT_EQ(fans[1].minRpm, 500.5);
    EXPECT_EQ(fans[1].maxRpm, 1000.5);
    EXPECT_TRUE(fans[0].manual);
    EXPECT_FALSE(fans[1].manual);
    EXPECT_EQ(fans[1].currentRpm, 2003);
}

TEST_F(AppleSmc, ImplausibleRepliesFailInTheirOneRequest) {
    auto smc = connected();
    smc->fans(); // 2160 from the start-up table
    const float bad[] = {std::numeric_limits<float>::quiet_NaN(),
                         std::numeric_limits<float>::infinity(), -50.0f, 10000.0f, 1e-40f};
    for (float value : bad) {
        device.setFloat("F0Ac", value);
        device.requests.clear();
        const auto fans = smc->fans();
        EXPECT_EQ(fans[0].currentRpm, 2160) << value;
        ASSERT_EQ(device.requests.size(), 10u) << value; // no second try in another size
        EXPECT_EQ(device.requests[0].input[4], 4);
    }
    device.oddReadCounts["F0Ac"] = 3; // a 4-byte request answered with 3 bytes
    device.setFloat("F0Ac", 2100);
    EXPECT_EQ(smc->fans()[0].currentRpm, 2160);

    // A temperature out of -50 .. 150 degrees is a failed read: the row is left out.
    device.setFloat("TC0P", 150.5f);
    device.setSp78("TC0F", 0xCE, 0x00); // -50
    double cpu = 0, gpu = 0, power = 0;
    std::vector<SensorReading> readings;
    ASSERT_TRUE(smc->update(&cpu, &gpu, &power, &readings));
    EXPECT_EQ(readings.size(), 12u);
    EXPECT_DOUBLE_EQ(cpu, 62.0);
}

TEST_F(AppleSmc, UpdateReadsTheTableAndTakesTheMaximaByCaseSensitivePrefix) {
    auto smc = connected();
    device.setFloat("Th1H", 99); // lower-case h: not a CPU key
    device.setFloat("TM0P", 98); // memory, not GPU
    double cpu = 0, gpu = 0, power = 0;
    std::vector<SensorReading> readings;
    ASSERT_TRUE(smc->update(&cpu, &gpu, &power, &readings));
    ASSERT_EQ(readings.size(), 14u); // TC5C is absent
    EXPECT_EQ(readings[0].key, L"TCXC");
    EXPECT_EQ(readings[0].label, L"CPU Package PECI");
    EXPECT_EQ(readings[0].category, L"CPU (Core i9)");
    EXPECT_EQ(readings[0].unit, L"°C");
    EXPECT_DOUBLE_EQ(readings[0].value, 58.25);
    EXPECT_EQ(readings[1].key, L"TC0F");
    EXPECT_DOUBLE_EQ(readings[1].value, 55.5); // sp78 after the failed 4-byte request
    EXPECT_EQ(readings[6].key, L"TC4C");
    EXPECT_EQ(readings[7].key, L"TGDD");
    EXPECT_EQ(readings[13].key, L"PDTR");
    EXPECT_EQ(readings[13].unit, L"W");
    EXPECT_EQ(readings[13].category, L"Spannung & Leistung");
    EXPECT_DOUBLE_EQ(cpu, 62.0);
    EXPECT_DOUBLE_EQ(gpu, 48.0);
    EXPECT_DOUBLE_EQ(power, 35.5);
    // One request per sensor key the SMC has; TC5C did not answer at connect.
    EXPECT_EQ(device.requests.size(), 14u);

    // Only the new readings stay; missing or non-positive summaries leave the caller's values.
    device.removeKey("PDTR");
    for (const char* key : {"TCXC", "TC0P", "TC2C", "TC4C"})
        device.setFloat(key, -10);
    for (const char* key : {"TC0F", "TC1C", "TC3C"})
        device.setSp78(key, 0x00, 0x00);
    device.removeKey("TGDD");
    device.removeKey("TG0P");
    cpu = 11, gpu = 12, power = 13;
    ASSERT_TRUE(smc->update(&cpu, &gpu, &power, &readings));
    EXPECT_EQ(readings.size(), 11u);
    EXPECT_EQ(cpu, 11);
    EXPECT_EQ(gpu, 12);
    EXPECT_EQ(power, 13);

    // Not one key answers: the device is gone.
    for (const auto& row : SMC_SENSOR_TABLE)
        device.removeKey(row.key);
    EXPECT_FALSE(smc->update(&cpu, &gpu, &power, &readings));
    EXPECT_TRUE(readings.empty());
}

TEST_F(AppleSmc, SettingAFanSendsTargetThenModeAndNothingElse) {
    auto smc = connected();
    ASSERT_TRUE(smc->setFanRpm(0, 2500));
    ASSERT_EQ(device.requests.size(), 2u);
    EXPECT_EQ(device.requests[0].code, IOCTL_SMC_WRITE_KEY);
    EXPECT_EQ(device.requests[0].input,
              (std::vector<std::uint8_t>{'F', '0', 'T', 'g', 4, 0x00, 0x40, 0x1C, 0x45}));
    EXPECT_EQ(device.requests[1].code, IOCTL_SMC_WRITE_KEY);
    EXPECT_EQ(device.requests[1].input, (std::vector<std::uint8_t>{'F', '0', 'M', 'd', 1, 1}));
    EXPECT_EQ(device.keyBytes("F0Tg"), (std::vector<std::uint8_t>{0x00, 0x40, 0x1C, 0x45}));

    device.requests.clear();
    for (std::int32_t index : {-1, 2})
        EXPECT_FALSE(smc->setFanRpm(index, 2500));
    EXPECT_FALSE(smc->setFanPercent(2, 50));
    EXPECT_TRUE(device.requests.empty());

    // A command is whole or undone: a refused target never forces the fan, and a refused force
    // is followed by the release, so no fan stays forced at a target it was not given.
    const auto allowed = encodeSmcFloat(2000.0f);
    device.setKey("F1Tg", 4, allowed.data(), false);
    const std::uint8_t forced = 1;
    device.setKey("F1Md", 1, &forced, true);
    EXPECT_FALSE(smc->setFanRpm(1, 3000));
    EXPECT_EQ(device.writes(), (std::vector<Write>{{"F1Md", {0}}}));
    const std::uint8_t zero = 0;
    device.setKey("F1Tg", 4, allowed.data(), true);
    device.setKey("F1Md", 1, &zero, false);
    device.requests.clear();
    EXPECT_FALSE(smc->setFanRpm(1, 3000));
    ASSERT_EQ(device.requests.size(), 3u); // target, force refused, release refused
    EXPECT_EQ(device.writes().front().first, "F1Tg");

    // Speeds outside the fan's range are held to it; a speed that is no number is refused.
    smc->fans(); // fan 0: 1200 .. 6156
    const std::pair<double, float> clamped[] = {{9000, 6156}, {-1, 1200}};
    for (const auto& [asked, sent] : clamped) {
        ASSERT_TRUE(smc->setFanRpm(0, asked)) << asked;
        const auto bytes = encodeSmcFloat(sent);
        EXPECT_EQ(device.keyBytes("F0Tg"), std::vector<std::uint8_t>(bytes.begin(), bytes.end()))
            << asked;
    }
    device.requests.clear();
    for (double refused :
         {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
          -std::numeric_limits<double>::infinity()})
        EXPECT_FALSE(smc->setFanRpm(0, refused));
    EXPECT_TRUE(device.requests.empty());
}

TEST_F(AppleSmc, AMisreadMaximumIsNoLimitOnlyAbsurdSpeedsAreCut) {
    // An older format's maximum can read far beyond any fan.
    const auto misread = encodeSmcFpe2(15022.75);
    device.setKey("F0Mx", 2, misread.data(), false);
    auto smc = connected();
    ASSERT_EQ(smc->fans()[0].maxRpm, 15022.75);
    const std::pair<double, float> sent[] = {{7000, 7000}, {15022.75, 10000}, {-1, 0}};
    for (const auto& [asked, target] : sent) {
        ASSERT_TRUE(smc->setFanRpm(0, asked)) << asked;
        const auto bytes = encodeSmcFloat(target);
        EXPECT_EQ(device.keyBytes("F0Tg"), std::vector<std::uint8_t>(bytes.begin(), bytes.end()))
            << asked;
    }
}

TEST_F(AppleSmc, PercentUsesTheRangeLastReadWithoutReadingAgain) {
    auto smc = connected();
    smc->fans(); // fan 1: 1200 .. 5700
    device.requests.clear();
    ASSERT_TRUE(smc->setFanPercent(1, 50));
    ASSERT_EQ(device.requests.size(), 2u);
    const auto target = device.keyBytes("F1Tg");
    double v = 0;
    ASSERT_TRUE(decodeSmcFloat(target.data(), &v));
    EXPECT_DOUBLE_EQ(v, 3450);
}

TEST_F(AppleSmc, AutomaticWritesZeroToBothModesAndTheForceKey) {
    auto smc = connected();
    smc->setFanRpm(0, 2500);
    smc->setFanRpm(1, 2500);
    device.requests.clear();
    EXPECT_TRUE(smc->setAutomatic());
    const auto writes = device.writes();
    ASSERT_EQ(writes.size(), 3u);
    EXPECT_EQ(writes[0], (std::pair<std::string, std::vector<std::uint8_t>>{"F0Md", {0}}));
    EXPECT_EQ(writes[1], (std::pair<std::string, std::vector<std::uint8_t>>{"F1Md", {0}}));
    EXPECT_EQ(writes[2], (std::pair<std::string, std::vector<std::uint8_t>>{"FS! ", {0}}));
    // Failing writes are passed over, and the result tells.
    device.removeKey("F0Md");
    device.removeKey("FS! ");
    device.requests.clear();
    EXPECT_FALSE(smc->setAutomatic());
    EXPECT_EQ(device.requests.size(), 3u);
    EXPECT_EQ(device.writes().size(), 1u);
}

namespace {

class OlderAppleSmc : public AppleSmc {
protected:
    void SetUp() override {
        AppleSmc::SetUp();
        device.loadTable(SMC_SIM_TABLE_OLDER);
    }
};

} // namespace

// Bytes of fan commands and one request per key: tests/win, against the simulator driver.
TEST_F(OlderAppleSmc, TheMaskTellsAndForcesEachFanAndIsWhatACrashHandsBack) {
    auto smc = connected();
    EXPECT_EQ(smcGenerationText(smc.get()), L"Port I/O · Lüfter fpe2 (2 Byte) über \"FS! \"");
    const std::uint8_t secondForced[] = {0x00, 0x02};
    device.setKey("FS! ", 2, secondForced, true);
    auto fans = smc->fans();
    EXPECT_EQ(fans[1].maxRpm, 6500);
    EXPECT_FALSE(fans[0].manual);
    EXPECT_TRUE(fans[1].manual);
    ASSERT_TRUE(smc->setFanRpm(0, 1950));
    EXPECT_EQ(device.keyBytes("FS! "), (std::vector<std::uint8_t>{0x00, 0x03}));
    device.requests.clear();
    EXPECT_TRUE(emergencyFanHandBack());
    EXPECT_EQ(device.writes(), (std::vector<Write>{{"FS! ", {0x00, 0x00}}}));

    // An unreadable mask forces nothing: the other fan's bit would be lost. Only the target,
    // which moves nothing while the firmware holds the fan, was written.
    device.removeKey("FS! ");
    device.requests.clear();
    EXPECT_FALSE(smc->setFanRpm(0, 2000));
    EXPECT_EQ(device.writes(), (std::vector<Write>{{"F0Tg", {0x1F, 0x40}}}));
}

TEST_F(AppleSmc, KeySizesAreLearntAtConnectOrAtTheFirstReadThatAnswers) {
    device.modeByte = 1;
    auto smc = connected();
    EXPECT_EQ(smc->generationText(), L"T2 (MMIO) · Lüfter flt (4 Byte) über F0Md/F1Md");
    EXPECT_EQ(smcGenerationText(nullptr), L"");
    EXPECT_TRUE(emergencyFanHandBack()); // the T2 plan, byte for byte as setAutomatic
    EXPECT_EQ(device.writes(), (std::vector<Write>{{"F0Md", {0}}, {"F1Md", {0}}, {"FS! ", {0}}}));

    // A device that answered nothing at connect is asked again at the next read.
    device.loadTable(SMC_SIM_TABLE_OLDER);
    for (const char* key : {"F0Ac", "F0Mn", "F0Mx", "F0Tg", "F1Ac", "F1Mn", "F1Mx", "F1Tg", "FS! ",
                            "TC0P", "TC1C", "TC2C", "TG0P", "Th1H", "Th2H", "Tm0P", "TM0P", "PDTR"})
        device.removeKey(key);
    EXPECT_TRUE(smc->connect(SystemIdentity{}));
    EXPECT_EQ(device.openHandles.size(), 1u); // the first handle was closed
    EXPECT_EQ(smc->learntKeySize("F0Ac"), 0);
    device.loadTable(SMC_SIM_TABLE_OLDER);
    EXPECT_EQ(smc->fans()[0].currentRpm, 1800);
    EXPECT_EQ(smc->learntKeySize("F0Ac"), 2);
    EXPECT_EQ(smc->learntKeySize("F0Md"), 0);
}

TEST_F(AppleSmc, KeysThatDidNotAnswerAtConnectAreAskedAgainWithinFiveUpdates) {
    for (const auto& row : SMC_SENSOR_TABLE)
        device.removeKey(row.key);
    auto smc = connected(); // the fan keys answer, the sensors were busy
    double cpu = 0, gpu = 0, power = 0;
    std::vector<SensorReading> readings;
    EXPECT_FALSE(smc->update(&cpu, &gpu, &power, &readings));
    device.loadTable(SMC_SIM_TABLE_T2); // they answer again
    int updates = 1;
    while (updates <= SIZE_RELEARN_UPDATES && !smc->update(&cpu, &gpu, &power, &readings))
        ++updates;
    EXPECT_LE(updates, SIZE_RELEARN_UPDATES);
    EXPECT_EQ(readings.size(), 14u); // the table's fifteen keys but TC5C
    EXPECT_GT(cpu, 0.0);
}

TEST_F(AppleSmc, WithoutAForceMaskOnlyTheModeKeysAreHandedBack) {
    device.removeKey("FS! ");
    auto smc = connected();
    EXPECT_TRUE(smc->setAutomatic());
    EXPECT_EQ(device.writes(), (std::vector<Write>{{"F0Md", {0}}, {"F1Md", {0}}}));
    device.requests.clear();
    EXPECT_TRUE(emergencyFanHandBack());
    EXPECT_EQ(device.writes(), (std::vector<Write>{{"F0Md", {0}}, {"F1Md", {0}}}));
    // A target whose size is not known is never guessed: the fan is left to the firmware.
    device.removeKey("F1Tg");
    EXPECT_TRUE(smc->connect(SystemIdentity{}));
    device.requests.clear();
    EXPECT_FALSE(smc->setFanRpm(1, 3000));
    EXPECT_EQ(device.writes(), (std::vector<Write>{{"F1Md", {0}}}));
}
