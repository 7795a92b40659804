#pragma once

#include "hardware/amd_adl_records.h"
#include "platform/library_loader.h"

#include <cstdint>
#include <string>

using AdlContext = void*;
// The library allocates through the caller's function; on x64 there is one calling convention.
using AdlAllocateFn = void* (*)(int size);
using AdlMainControlCreateFn = int (*)(AdlAllocateFn allocate, int connectedOnly,
                                       AdlContext* context);
using AdlMainControlDestroyFn = int (*)(AdlContext context);
using AdlNumberOfAdaptersFn = int (*)(AdlContext context, int* count);
using AdlAdapterInfoGetFn = int (*)(AdlContext context, AdlAdapterInfo* list, int bytes);
using AdlAdapterActiveGetFn = int (*)(AdlContext context, int adapter, int* active);
using AdlOverdriveCapsFn = int (*)(AdlContext context, int adapter, int* supported, int* enabled,
                                   int* version);
using AdlPmLogGetFn = int (*)(AdlContext context, int adapter, AdlPmLogDataOutput* log);
using AdlOdnTemperatureGetFn = int (*)(AdlContext context, int adapter, int sensor,
                                       int* millidegrees);
using AdlOdnFanControlGetFn = int (*)(AdlContext context, int adapter, AdlOdnFanControl* fan);
using AdlOd5TemperatureGetFn = int (*)(AdlContext context, int adapter, int controller,
                                       AdlTemperature* temperature);
using AdlOd5FanSpeedGetFn = int (*)(AdlContext context, int adapter, int controller,
                                    AdlFanSpeedValue* fan);

// AMD's display library ("atiadlxx.dll", the 64-bit one): the GPU's temperatures and fan speed.
// Loading only resolves the functions; the context, the adapter choice and every reading belong
// on one thread, the one that reads, and so does close.
class AmdGpuLibrary {
public:
    AmdGpuLibrary() = default;
    AmdGpuLibrary(const AmdGpuLibrary&) = delete;
    AmdGpuLibrary& operator=(const AmdGpuLibrary&) = delete;

    // Loads the library (0 when absent) and looks up its functions; calls none of them.
    void load(LibraryLoader* loader);
    // Closes, then frees the module.
    void unload(LibraryLoader* loader);
    bool present() const { return module != 0; }
    LibraryHandle handle() const { return module; }

    // Creates the context, picks the first active AMD GPU and asks its Overdrive version; true
    // when a GPU of a version the program reads was found. Does nothing while open.
    bool open();
    // One reading of the picked GPU; false when nothing could be read. A failed call closes the
    // context, so the next open starts afresh (after a driver restart, say).
    bool read(AmdGpuReading* reading);
    void close();
    bool isOpen() const { return context != nullptr; }
    const AmdAdapter& adapter() const { return picked; }
    std::int32_t overdriveVersion() const { return version; }

private:
    bool readPmLog(AmdGpuReading* reading);
    bool readOverdriveN(AmdGpuReading* reading);
    bool readOverdrive5(AmdGpuReading* reading);

    LibraryHandle module = 0;
    AdlMainControlCreateFn create = nullptr;
    AdlMainControlDestroyFn destroy = nullptr;
    AdlNumberOfAdaptersFn numberOfAdapters = nullptr;
    AdlAdapterInfoGetFn adapterInfo = nullptr;
    AdlAdapterActiveGetFn adapterActive = nullptr;
    AdlOverdriveCapsFn overdriveCaps = nullptr;
    AdlPmLogGetFn pmLog = nullptr;
    AdlOdnTemperatureGetFn odnTemperature = nullptr;
    AdlOdnFanControlGetFn odnFan = nullptr;
    AdlOd5TemperatureGetFn od5Temperature = nullptr;
    AdlOd5FanSpeedGetFn od5Fan = nullptr;

    AdlContext context = nullptr;
    AmdAdapter picked;
    std::int32_t version = 0;
};
