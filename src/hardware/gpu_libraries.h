#pragma once

#include "hardware/amd_gpu_library.h"
#include "platform/library_loader.h"

#include <array>
#include <cstddef>
#include <cstdint>

// NVAPI's published interface ids and structure layout, as far as the program uses them.
inline constexpr std::uint32_t NVAPI_ID_INITIALIZE = 0x0150E828;
inline constexpr std::uint32_t NVAPI_ID_ENUM_PHYSICAL_GPUS = 0xE5AC921F;
inline constexpr std::uint32_t NVAPI_ID_GPU_GET_THERMAL_SETTINGS = 0xE3640A56;
inline constexpr std::uint32_t NVAPI_ID_GPU_GET_TACH_READING = 0x5F608315;
inline constexpr std::size_t NVAPI_MAX_PHYSICAL_GPUS = 64;

// NV_GPU_THERMAL_SETTINGS version 1: version word, sensor count, then three sensors of five
// 32-bit fields (controller, default minimum, default maximum, current temperature, target).
inline constexpr std::size_t NV_GPU_THERMAL_SETTINGS_SIZE = 68;
inline constexpr std::uint32_t NV_GPU_THERMAL_SETTINGS_VERSION_1 = 0x10044; // size | 1 << 16
inline constexpr std::size_t NV_THERMAL_COUNT_OFFSET = 4;
inline constexpr std::size_t NV_THERMAL_FIRST_CURRENT_OFFSET = 8 + 12;

using NvThermalSettingsBytes = std::array<std::uint8_t, NV_GPU_THERMAL_SETTINGS_SIZE>;
// Zero-filled, with the version word in place.
NvThermalSettingsBytes makeNvThermalSettings();
// The first sensor's current temperature when the structure reports at least one sensor.
bool decodeNvThermalSettings(const NvThermalSettingsBytes& settings, std::int32_t* temperature);

using NvPhysicalGpuHandle = void*;
using NvapiQueryInterfaceFn = void* (*)(std::uint32_t id);
using NvapiInitializeFn = std::int32_t (*)();
using NvapiEnumPhysicalGpusFn = std::int32_t (*)(NvPhysicalGpuHandle* handles,
                                                 std::uint32_t* count);
using NvapiGetThermalSettingsFn = std::int32_t (*)(NvPhysicalGpuHandle gpu,
                                                   std::uint32_t sensorIndex, void* settings);
using NvapiGetTachReadingFn = std::int32_t (*)(NvPhysicalGpuHandle gpu, std::uint32_t* rpm);

// The graphics drivers' own libraries, loaded at run time when present and only from the system
// folder: NVIDIA's and AMD's, each for its GPU's temperature and fan speed.
class GpuLibraries {
public:
    // Loads through loader (platform.libraryLoader when not given).
    explicit GpuLibraries(LibraryLoader* loader = nullptr);
    // Frees the AMD module, then the NVIDIA module.
    ~GpuLibraries();
    GpuLibraries(const GpuLibraries&) = delete;
    GpuLibraries& operator=(const GpuLibraries&) = delete;

    // Runs once; later calls do nothing.
    void load();
    bool nvapiReady() const { return ready; }
    bool hasThermalSettings() const { return getThermalSettings != nullptr; }
    bool hasTachometer() const { return getTachReading != nullptr; }
    // GPU 0 only, and only when NVAPI is ready.
    bool readTemperature(std::int32_t* celsius);
    bool readFanSpeed(std::uint32_t* rpm);

    LibraryHandle nvidiaModule() const { return nvidia; }
    LibraryHandle amdModule() const { return amdGpu.handle(); }
    // AMD's library is opened and read on the reading thread (see AmdGpuLibrary).
    AmdGpuLibrary& amd() { return amdGpu; }
    std::uint32_t gpuCount() const { return count; }

private:
    LibraryLoader* loader;
    bool loaded = false;
    LibraryHandle nvidia = 0;
    std::array<NvPhysicalGpuHandle, NVAPI_MAX_PHYSICAL_GPUS> gpus{};
    std::uint32_t count = 0;
    bool ready = false;
    NvapiGetThermalSettingsFn getThermalSettings = nullptr;
    NvapiGetTachReadingFn getTachReading = nullptr;
    AmdGpuLibrary amdGpu;
};
