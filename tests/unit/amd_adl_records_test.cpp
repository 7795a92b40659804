#include "hardware/amd_adl_records.h"

#include "fakes/amd_reading_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>

namespace {

AdlAdapterInfo adapter(std::int32_t index, std::int32_t bus, std::int32_t vendor,
                       const char* name = "AMD Radeon") {
    AdlAdapterInfo info{};
    info.adapterIndex = index;
    info.busNumber = bus;
    info.vendorId = vendor;
    std::strncpy(info.adapterName, name, sizeof info.adapterName - 1);
    return info;
}

} // namespace

TEST(AmdAdlRecords, TemperaturesBetweenMinus20And150DegreesAreReadings) {
    const struct {
        double celsius;
        bool reading;
    } table[] = {{-20.0, true},   {-20.001, false}, {0.0, true},          {150.0, true},
                 {150.01, false}, {1e9, false},     {std::nan(""), false}};
    for (const auto& row : table)
        EXPECT_EQ(plausibleGpuCelsius(row.celsius).has_value(), row.reading) << row.celsius;
}

TEST(AmdAdlRecords, EachOverdriveGenerationDecodesItsUnits) {
    auto pmLog = [](std::initializer_list<std::pair<std::size_t, std::int32_t>> sensors) {
        AdlPmLogDataOutput log{};
        for (auto [index, value] : sensors)
            log.sensors[index] = {1, value};
        return decodeAdlPmLog(log);
    };
    auto odnFan = [](std::int32_t unit, std::int32_t speed) {
        AdlOdnFanControl fan{};
        fan.currentFanSpeedMode = unit;
        fan.currentFanSpeed = speed;
        fan.targetFanSpeed = 4444; // the speed asked for is no reading
        AmdGpuReading r;
        decodeAdlOdnFan(fan, &r);
        return r;
    };
    auto od5Fan = [](std::int32_t unit, std::int32_t speed) {
        AmdGpuReading r;
        decodeAdlOd5Fan({16, unit, speed, 0}, &r);
        return r;
    };
    auto odnTemperature = [](std::int32_t millidegrees) {
        AmdGpuReading r;
        r.edge = decodeAdlOdnTemperature(millidegrees);
        return r;
    };
    auto od5Temperature = [](std::int32_t millidegrees) {
        AmdGpuReading r;
        r.edge = decodeAdlOd5Temperature({8, millidegrees});
        return r;
    };
    AdlPmLogDataOutput unsupported{};
    unsupported.sensors[ADL_PMLOG_TEMPERATURE_EDGE] = {0, 55}; // a value, but not marked
    const struct {
        const char* what;
        AmdGpuReading reading;
        const char* expected;
    } table[] = {
        {"log: the five sensors by index",
         pmLog({{8, 63}, {9, 72}, {14, 1320}, {15, 34}, {27, 81}, {1, 2100}}),
         "edge=63 hot=81 mem=72 rpm=1320 fan%=34"},
        {"log: unmarked sensor", decodeAdlPmLog(unsupported), "-"},
        {"log: no tachometer", pmLog({{14, 0xFFFF}, {15, 40}}), "fan%=40"},
        {"log: out of range", pmLog({{8, 151}, {27, -21}, {14, -5}, {15, 101}}), "-"},
        {"log: a stopped fan", pmLog({{14, 0}, {15, 0}}), "rpm=0 fan%=0"},
        {"log: beyond any fan", pmLog({{14, 10001}}), "-"},
        {"OverdriveN: millidegrees", odnTemperature(45000), "edge=45"},
        {"OverdriveN: below zero", odnTemperature(-19000), "edge=-19"},
        {"OverdriveN: whole degrees of an old driver", odnTemperature(45), "-"},
        {"OverdriveN: too hot", odnTemperature(150001), "-"},
        {"OverdriveN fan in RPM", odnFan(ADL_FAN_SPEED_RPM, 1800), "rpm=1800"},
        {"OverdriveN fan in percent", odnFan(ADL_FAN_SPEED_PERCENT, 55), "fan%=55"},
        {"OverdriveN fan, unknown unit", odnFan(3, 1800), "-"},
        {"OverdriveN fan, no tachometer", odnFan(ADL_FAN_SPEED_RPM, 0xFFFF), "-"},
        {"Overdrive 5: millidegrees", od5Temperature(71000), "edge=71"},
        {"Overdrive 5: too cold", od5Temperature(-20001), "-"},
        {"Overdrive 5 fan in RPM", od5Fan(ADL_FAN_SPEED_RPM, 2100), "rpm=2100"},
        {"Overdrive 5 fan in percent", od5Fan(ADL_FAN_SPEED_PERCENT, 101), "-"},
    };
    for (const auto& row : table)
        EXPECT_EQ(amdReadingText(row.reading), row.expected) << row.what;
}

TEST(AmdAdlRecords, OneActiveAmdGpuPerBusInListOrder) {
    const std::set<std::int32_t> inactive = {2, 7};
    std::vector<std::int32_t> asked;
    const std::vector<AdlAdapterInfo> list = {
        adapter(0, 1, 4318, "foreign"),    // not AMD
        adapter(1, -1, ADL_AMD_VENDOR_ID), // no bus: a virtual entry
        adapter(2, 3, ADL_AMD_VENDOR_ID),  // inactive output of the GPU on bus 3
        adapter(3, 3, ADL_AMD_VENDOR_ID, "AMD Radeon RX 6800 XT"),
        adapter(4, 3, ADL_AMD_VENDOR_ID),                        // second output of the same GPU
        adapter(5, 0, ADL_AMD_VENDOR_ID, "AMD Radeon Graphics"), // bus 0 is a real bus
        adapter(7, 9, ADL_AMD_VENDOR_ID),                        // inactive GPU
    };
    const auto picked = pickAmdAdapters(list, [&](std::int32_t index) {
        asked.push_back(index);
        return inactive.count(index) == 0;
    });
    ASSERT_EQ(picked.size(), 2u);
    EXPECT_EQ(picked[0].index, 3);
    EXPECT_EQ(picked[0].bus, 3);
    EXPECT_EQ(picked[0].name, L"AMD Radeon RX 6800 XT");
    EXPECT_EQ(picked[1].index, 5);
    EXPECT_EQ(picked[1].name, L"AMD Radeon Graphics");
    // Foreign, virtual and already-seen entries are not even asked about.
    EXPECT_EQ(asked, (std::vector<std::int32_t>{2, 3, 5, 7}));
    EXPECT_TRUE(pickAmdAdapters({}, [](std::int32_t) { return true; }).empty());
}

TEST(AmdAdlRecords, AdapterNamesEndAtTheirFieldAndTrailingSpacesGo) {
    AdlAdapterInfo full{};
    std::memset(full.adapterName, 'A', sizeof full.adapterName); // no terminator at all
    full.displayName[0] = 'X';
    EXPECT_EQ(adlAdapterName(full), std::wstring(256, L'A'));
    AdlAdapterInfo odd = adapter(0, 0, ADL_AMD_VENDOR_ID, "Radeon\xAE Pro   ");
    EXPECT_EQ(adlAdapterName(odd), L"Radeon\u00AE Pro");
}
