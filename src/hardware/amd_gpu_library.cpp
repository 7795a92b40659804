#include "hardware/amd_gpu_library.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

// The library asks for memory only for lists it hands back to the caller, which the program
// never requests; should it ask all the same, it gets plain heap memory.
void* allocate(int size) {
    return size > 0 ? std::malloc(static_cast<std::size_t>(size)) : nullptr;
}

template <typename Fn> Fn lookUp(LibraryLoader* loader, LibraryHandle module, const char* name) {
    return reinterpret_cast<Fn>(loader->symbol(module, name));
}

} // namespace

void AmdGpuLibrary::load(LibraryLoader* loader) {
    if (module || !loader)
        return;
    // The 64-bit library only: "atiadlxy.dll" is the 32-bit one and cannot serve this process.
    module = loader->load(L"atiadlxx.dll");
    if (!module)
        return;
    create = lookUp<AdlMainControlCreateFn>(loader, module, "ADL2_Main_Control_Create");
    destroy = lookUp<AdlMainControlDestroyFn>(loader, module, "ADL2_Main_Control_Destroy");
    numberOfAdapters =
        lookUp<AdlNumberOfAdaptersFn>(loader, module, "ADL2_Adapter_NumberOfAdapters_Get");
    adapterInfo = lookUp<AdlAdapterInfoGetFn>(loader, module, "ADL2_Adapter_AdapterInfo_Get");
    adapterActive = lookUp<AdlAdapterActiveGetFn>(loader, module, "ADL2_Adapter_Active_Get");
    overdriveCaps = lookUp<AdlOverdriveCapsFn>(loader, module, "ADL2_Overdrive_Caps");
    pmLog = lookUp<AdlPmLogGetFn>(loader, module, "ADL2_New_QueryPMLogData_Get");
    odnTemperature =
        lookUp<AdlOdnTemperatureGetFn>(loader, module, "ADL2_OverdriveN_Temperature_Get");
    odnFan = lookUp<AdlOdnFanControlGetFn>(loader, module, "ADL2_OverdriveN_FanControl_Get");
    od5Temperature =
        lookUp<AdlOd5TemperatureGetFn>(loader, module, "ADL2_Overdrive5_Temperature_Get");
    od5Fan = lookUp<AdlOd5FanSpeedGetFn>(loader, module, "ADL2_Overdrive5_FanSpeed_Get");
}

void AmdGpuLibrary::unload(LibraryLoader* loader) {
    close();
    if (module && loader)
        loader->free(module);
    module = 0;
}

bool AmdGpuLibrary::open() {
    if (context)
        return true;
    if (!create || !destroy || !numberOfAdapters || !adapterInfo || !adapterActive ||
        !overdriveCaps)
        return false;
    AdlContext fresh = nullptr;
    if (create(&allocate, 1, &fresh) != ADL_OK || !fresh)
        return false;
    context = fresh;

    int count = 0;
    if (numberOfAdapters(context, &count) != ADL_OK || count <= 0) {
        close();
        return false;
    }
    std::vector<AdlAdapterInfo> list(static_cast<std::size_t>(std::min(count, ADL_MOST_ADAPTERS)));
    for (AdlAdapterInfo& info : list)
        info.size = sizeof(AdlAdapterInfo);
    if (adapterInfo(context, list.data(), static_cast<int>(list.size() * sizeof(AdlAdapterInfo))) !=
        ADL_OK) {
        close();
        return false;
    }
    const std::vector<AmdAdapter> gpus = pickAmdAdapters(list, [this](std::int32_t index) {
        int active = 0;
        return adapterActive(context, index, &active) == ADL_OK && active != 0;
    });
    int supported = 0, enabled = 0, found = 0;
    if (gpus.empty() ||
        overdriveCaps(context, gpus.front().index, &supported, &enabled, &found) != ADL_OK) {
        close();
        return false;
    }
    const bool readable = (found == ADL_OVERDRIVE_8 && pmLog) ||
                          (found == ADL_OVERDRIVE_N && (odnTemperature || odnFan)) ||
                          (found == ADL_OVERDRIVE_5 && (od5Temperature || od5Fan));
    if (!readable) {
        close();
        return false;
    }
    picked = gpus.front();
    version = found;
    return true;
}

bool AmdGpuLibrary::read(AmdGpuReading* reading) {
    if (!context)
        return false;
    AmdGpuReading fresh;
    bool answered = false;
    if (version == ADL_OVERDRIVE_8)
        answered = readPmLog(&fresh);
    else if (version == ADL_OVERDRIVE_N)
        answered = readOverdriveN(&fresh);
    else if (version == ADL_OVERDRIVE_5)
        answered = readOverdrive5(&fresh);
    if (!answered || !fresh.any()) {
        close();
        return false;
    }
    *reading = fresh;
    return true;
}

void AmdGpuLibrary::close() {
    if (context && destroy)
        destroy(context);
    context = nullptr;
    picked = {};
    version = 0;
}

bool AmdGpuLibrary::readPmLog(AmdGpuReading* reading) {
    AdlPmLogDataOutput log{};
    log.size = sizeof(AdlPmLogDataOutput);
    if (pmLog(context, picked.index, &log) != ADL_OK)
        return false;
    *reading = decodeAdlPmLog(log);
    return true;
}

bool AmdGpuLibrary::readOverdriveN(AmdGpuReading* reading) {
    bool answered = false;
    if (odnTemperature) {
        const struct {
            std::int32_t sensor;
            std::optional<double> AmdGpuReading::*field;
        } sensors[] = {{ADL_ODN_TEMPERATURE_EDGE, &AmdGpuReading::edge},
                       {ADL_ODN_TEMPERATURE_HOTSPOT, &AmdGpuReading::hotspot},
                       {ADL_ODN_TEMPERATURE_MEM, &AmdGpuReading::memory}};
        for (const auto& s : sensors) {
            int millidegrees = 0;
            if (odnTemperature(context, picked.index, s.sensor, &millidegrees) != ADL_OK)
                continue;
            answered = true;
            reading->*s.field = decodeAdlOdnTemperature(millidegrees);
        }
    }
    AdlOdnFanControl fan{};
    if (odnFan && odnFan(context, picked.index, &fan) == ADL_OK) {
        answered = true;
        decodeAdlOdnFan(fan, reading);
    }
    return answered;
}

bool AmdGpuLibrary::readOverdrive5(AmdGpuReading* reading) {
    bool answered = false;
    AdlTemperature temperature{};
    temperature.size = sizeof(AdlTemperature);
    if (od5Temperature && od5Temperature(context, picked.index, 0, &temperature) == ADL_OK) {
        answered = true;
        reading->edge = decodeAdlOd5Temperature(temperature);
    }
    // The speed in RPM where the controller has a tachometer, else its share of full speed.
    for (std::int32_t unit : {ADL_FAN_SPEED_RPM, ADL_FAN_SPEED_PERCENT}) {
        if (!od5Fan || reading->fanRpm)
            break;
        AdlFanSpeedValue fan{};
        fan.size = sizeof(AdlFanSpeedValue);
        fan.speedType = unit;
        if (od5Fan(context, picked.index, 0, &fan) != ADL_OK)
            continue;
        answered = true;
        // The reply names its unit; one other than asked for is taken as it says.
        decodeAdlOd5Fan(fan, reading);
    }
    return answered;
}
