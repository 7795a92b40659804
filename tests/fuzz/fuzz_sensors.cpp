// The generic backend's readings from whatever WMI and NVIDIA's library deliver: thermal-zone
// rows of any variant type, value and name, and any thermal-settings structure, tachometer and
// status. The readings must come out as numbers the program can show and regulate with. Then
// whatever AMD's library and the thermal-zone counters could fill in, decoded on its own.
#include "fuzz/fuzz_input.h"

#include "fakes/await_sample.h"
#include "fakes/fake_library_loader.h"
#include "fakes/fake_nvapi.h"
#include "fakes/fake_thermal_zone_query.h"
#include "hardware/amd_adl_records.h"
#include "hardware/gpu_libraries.h"
#include "hardware/thermal_counter_source.h"
#include "hardware/universal_pc_controller.h"
#include "hardware/wmi_thermal_source.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);

    // The structure as the library could fill it, decoded on its own.
    NvThermalSettingsBytes settings{};
    for (std::uint8_t& b : settings)
        b = in.byte();
    std::int32_t celsius = 0;
    if (decodeNvThermalSettings(settings, &celsius))
        FUZZ_CHECK(settings[NV_THERMAL_COUNT_OFFSET] | settings[NV_THERMAL_COUNT_OFFSET + 1] |
                   settings[NV_THERMAL_COUNT_OFFSET + 2] | settings[NV_THERMAL_COUNT_OFFSET + 3]);

    FakeThermalZoneQuery wmi;
    for (int i = 0, n = in.byte() % 6; i < n; ++i) {
        ThermalZoneRow row;
        row.temperatureRead = in.flag();
        row.temperatureType = in.flag() ? in.value<std::uint16_t>() : (in.flag() ? 3 : 19);
        row.temperatureBits = in.value<std::uint32_t>();
        row.nameIsString = in.flag();
        row.name = in.utf16(300);
        wmi.rows.push_back(row);
        ThermalZoneReading reading;
        if (decodeThermalZoneRow(row, &reading))
            FUZZ_CHECK(reading.temperature > 0 && reading.temperature < 130);
    }
    wmi.queryFails = (in.byte() & 7) == 0;

    FakeLibraryLoader loader;
    FakeNvapi nvapi;
    nvapi.installInto(&loader);
    nvapi.initializeStatus = in.flag() ? 0 : in.value<std::int32_t>();
    nvapi.gpus = in.byte() % 3;
    nvapi.thermalStatus = in.flag() ? 0 : in.value<std::int32_t>();
    nvapi.sensors = in.value<std::uint32_t>();
    nvapi.temperature = in.value<std::int32_t>();
    nvapi.tachStatus = in.flag() ? 0 : in.value<std::int32_t>();
    nvapi.rpm = in.value<std::uint32_t>();

    UniversalPCController pc(&loader, &wmi, std::chrono::hours(1));
    SystemIdentity id;
    id.vendor = static_cast<VendorKind>(in.byte() % 11);
    pc.connect(id);
    pc.sampleSoon();
    FUZZ_CHECK(awaitSample(pc, 0));
    double cpu = -1, gpu = -1, power = -1;
    std::vector<SensorReading> rows;
    pc.update(&cpu, &gpu, &power, &rows);
    FUZZ_CHECK(cpu > 20 && cpu < 120 && gpu > 20 && gpu < 120);
    FUZZ_CHECK(std::isfinite(power) && power >= 15);
    FUZZ_CHECK(!rows.empty() && rows.back().key == L"PWR1");
    for (const SensorReading& r : rows)
        FUZZ_CHECK(std::isfinite(r.value));
    for (const FanChannel& fan : pc.fans())
        FUZZ_CHECK(std::isfinite(fan.currentRpm) && fan.currentRpm >= 0);

    // AMD: any log, fan reply and temperature; the values that come out are in range.
    AdlPmLogDataOutput log{};
    for (std::size_t i = 0; i < 32 && !in.empty(); ++i)
        log.sensors[in.byte() % ADL_PMLOG_MAX_SENSORS] = {in.value<std::int32_t>(),
                                                          in.value<std::int32_t>()};
    AmdGpuReading amd = decodeAdlPmLog(log);
    AdlOdnFanControl odn{};
    odn.currentFanSpeedMode = in.value<std::int32_t>();
    odn.currentFanSpeed = in.value<std::int32_t>();
    decodeAdlOdnFan(odn, &amd);
    decodeAdlOd5Fan({16, in.value<std::int32_t>(), in.value<std::int32_t>(), 0}, &amd);
    for (const auto& t :
         {amd.edge, amd.hotspot, amd.memory, decodeAdlOdnTemperature(in.value<std::int32_t>()),
          decodeAdlOd5Temperature({8, in.value<std::int32_t>()})})
        FUZZ_CHECK(!t || (*t >= -20 && *t <= 150));
    FUZZ_CHECK(!amd.fanRpm || (*amd.fanRpm >= 0 && *amd.fanRpm <= HIGHEST_PLAUSIBLE_RPM));
    FUZZ_CHECK(!amd.fanPercent || (*amd.fanPercent >= 0 && *amd.fanPercent <= 100));

    // Any adapter list: at most one GPU per bus, each AMD's, active and on a real bus.
    std::vector<AdlAdapterInfo> list(in.byte() % 6);
    for (AdlAdapterInfo& info : list) {
        info.adapterIndex = in.byte() % 8;
        info.busNumber = static_cast<std::int8_t>(in.byte());
        info.vendorId = in.flag() ? ADL_AMD_VENDOR_ID : in.value<std::int32_t>();
        for (char& c : info.adapterName)
            c = static_cast<char>(in.byte());
    }
    const std::uint8_t active = in.byte();
    const auto gpus = pickAmdAdapters(list, [&](std::int32_t i) { return (active >> i & 1) != 0; });
    for (std::size_t i = 0; i < gpus.size(); ++i) {
        FUZZ_CHECK(gpus[i].bus >= 0 && (active >> gpus[i].index & 1));
        FUZZ_CHECK(gpus[i].name.size() <= ADL_MAX_PATH);
        for (std::size_t j = 0; j < i; ++j)
            FUZZ_CHECK(gpus[j].bus != gpus[i].bus);
    }

    // Any counter instance.
    ThermalCounterRow counter{in.utf16(40), in.flag(), in.value<std::int64_t>()};
    ThermalZoneReading zone;
    if (decodeThermalCounterRow(counter, &zone))
        FUZZ_CHECK(zone.temperature > 0 && zone.temperature < 130 && !zone.name.empty());
    return 0;
}
