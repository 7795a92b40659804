#include "hardware/gpu_libraries.h"

#include "platform/platform.h"

namespace {

void put32(std::uint8_t* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t get32(const std::uint8_t* at) {
    return std::uint32_t(at[0]) | std::uint32_t(at[1]) << 8 | std::uint32_t(at[2]) << 16 |
           std::uint32_t(at[3]) << 24;
}

template <typename Fn> Fn resolve(NvapiQueryInterfaceFn query, std::uint32_t id) {
    return reinterpret_cast<Fn>(reinterpret_cast<LibrarySymbol>(query(id)));
}

} // namespace

NvThermalSettingsBytes makeNvThermalSettings() {
    NvThermalSettingsBytes settings{};
    put32(settings.data(), NV_GPU_THERMAL_SETTINGS_VERSION_1);
    return settings;
}

bool decodeNvThermalSettings(const NvThermalSettingsBytes& settings, std::int32_t* temperature) {
    if (get32(settings.data() + NV_THERMAL_COUNT_OFFSET) == 0)
        return false;
    *temperature =
        static_cast<std::int32_t>(get32(settings.data() + NV_THERMAL_FIRST_CURRENT_OFFSET));
    return true;
}

GpuLibraries::GpuLibraries(LibraryLoader* loader)
    : loader(loader ? loader : platform.libraryLoader) {}

GpuLibraries::~GpuLibraries() {
    if (!loader)
        return;
    amdGpu.unload(loader);
    if (nvidia)
        loader->free(nvidia);
}

void GpuLibraries::load() {
    if (loaded || !loader)
        return;
    loaded = true;

    nvidia = loader->load(L"nvapi64.dll");
    if (nvidia) {
        const auto query =
            reinterpret_cast<NvapiQueryInterfaceFn>(loader->symbol(nvidia, "nvapi_QueryInterface"));
        if (query) {
            // All four first, before any is called.
            const auto initialize = resolve<NvapiInitializeFn>(query, NVAPI_ID_INITIALIZE);
            const auto enumerate =
                resolve<NvapiEnumPhysicalGpusFn>(query, NVAPI_ID_ENUM_PHYSICAL_GPUS);
            getThermalSettings =
                resolve<NvapiGetThermalSettingsFn>(query, NVAPI_ID_GPU_GET_THERMAL_SETTINGS);
            getTachReading = resolve<NvapiGetTachReadingFn>(query, NVAPI_ID_GPU_GET_TACH_READING);
            if (initialize && initialize() == 0 && enumerate) {
                std::uint32_t found = 0;
                if (enumerate(gpus.data(), &found) == 0 && found > 0) {
                    count = found;
                    ready = true;
                }
            }
        }
    }

    amdGpu.load(loader);
}

bool GpuLibraries::readTemperature(std::int32_t* celsius) {
    if (!ready || !getThermalSettings)
        return false;
    alignas(8) NvThermalSettingsBytes settings = makeNvThermalSettings();
    if (getThermalSettings(gpus[0], 0, settings.data()) != 0)
        return false;
    return decodeNvThermalSettings(settings, celsius);
}

bool GpuLibraries::readFanSpeed(std::uint32_t* rpm) {
    if (!ready || !getTachReading)
        return false;
    std::uint32_t value = 0;
    if (getTachReading(gpus[0], &value) != 0)
        return false;
    *rpm = value;
    return true;
}
