// The generic backend's readings from whatever WMI and NVIDIA's library deliver: thermal-zone
// rows of any variant type, value and name, and any thermal-settings structure, tachometer and
// status. The readings must come out as numbers the program can show and regulate with.
#include "fuzz/fuzz_input.h"

#include "fakes/await_sample.h"
#include "fakes/fake_library_loader.h"
#include "fakes/fake_nvapi.h"
#include "fakes/fake_thermal_zone_query.h"
#include "hardware/gpu_libraries.h"
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
    return 0;
}
