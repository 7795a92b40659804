#include "hardware/universal_pc_controller.h"

#include "base/bounded_format.h"
#include "base/texts.h"

#include <algorithm>
#include <cmath>

namespace {

struct FanRow {
    TextId label;
    double start, min, max;
};

struct VendorProfile {
    const wchar_t* name; // describes the machine; nothing here drives its fans; null: generic
    FanRow fans[2];
};

const VendorProfile ASUS = {
    L"ASUS Armoury / WMI",
    {{TextId::FanAsusCpu, 2100, 1000, 5200}, {TextId::FanAsusGpu, 2000, 1000, 5000}}};
const VendorProfile LENOVO = {
    L"Lenovo Legion / ThinkPad EC",
    {{TextId::FanLenovoCpu, 2200, 900, 4800}, {TextId::FanLenovoGpu, 2100, 900, 4600}}};
const VendorProfile DELL = {
    L"Dell SMM / Alienware",
    {{TextId::FanDellCpu, 2300, 1200, 5400}, {TextId::FanDellGpu, 2100, 1100, 5100}}};
const VendorProfile HP = {
    L"HP Omen / ACPI",
    {{TextId::FanHpOne, 2000, 1000, 5000}, {TextId::FanHpTwo, 1900, 1000, 4800}}};
const VendorProfile GENERIC = {
    nullptr, {{TextId::FanMain, 1800, 800, 4500}, {TextId::FanSecondary, 1600, 800, 4200}}};
// MSI has its own name only; its fans are the generic ones.
const wchar_t* const MSI_NAME = L"MSI Dragon / Super-I/O";

const VendorProfile& profileOf(VendorKind vendor) {
    switch (vendor) {
    case VendorKind::Asus:
        return ASUS;
    case VendorKind::Lenovo:
        return LENOVO;
    case VendorKind::Dell:
        return DELL;
    case VendorKind::Hp:
        return HP;
    default:
        return GENERIC;
    }
}

bool plausible(double celsius) {
    return celsius > 20.0 && celsius < 120.0;
}

SensorReading reading(std::wstring key, std::wstring label, std::wstring category,
                      const wchar_t* unit, double value) {
    SensorReading r;
    r.key = std::move(key);
    r.label = std::move(label);
    r.category = std::move(category);
    r.unit = unit;
    r.value = value;
    return r;
}

void appendAmdRows(const AmdGpuReading& amd, std::vector<SensorReading>* rows) {
    const wchar_t* const category = text(TextId::CategoryAmd);
    if (amd.edge)
        rows->push_back(reading(L"AMD1", text(TextId::AmdEdge), category, L"°C", *amd.edge));
    if (amd.hotspot)
        rows->push_back(reading(L"AMD2", L"AMD GPU Hotspot", category, L"°C", *amd.hotspot));
    if (amd.memory)
        rows->push_back(reading(L"AMD3", text(TextId::AmdMemory), category, L"°C", *amd.memory));
    if (amd.fanRpm)
        rows->push_back(reading(L"AMD4", text(TextId::AmdFan), category, L"RPM", *amd.fanRpm));
    else if (amd.fanPercent)
        rows->push_back(reading(L"AMD4", text(TextId::AmdFan), category, L"%", *amd.fanPercent));
}

// What the backend reads, source by source, and that it drives nothing.
std::wstring statusOf(const GenericSensorSnapshot& snapshot) {
    const wchar_t* const noFanControl = text(TextId::PcNoFanControl);
    if (!snapshot.taken)
        return std::wstring(text(TextId::StateDisplayOnly)) + noFanControl;
    std::vector<const wchar_t*> sources;
    if (snapshot.zoneSource == ZoneSource::Wmi)
        sources.push_back(text(TextId::PcZonesWmi));
    if (snapshot.zoneSource == ZoneSource::Counters)
        sources.push_back(text(TextId::PcZonesCounters));
    if ((snapshot.gpuTemperatureRead || snapshot.gpuFanRead))
        sources.push_back(L"NVIDIA GPU (NVAPI)");
    if (snapshot.amdRead)
        sources.push_back(L"AMD GPU (ADL)");
    if (sources.empty())
        return std::wstring(text(TextId::PcNoSensors)) + noFanControl;
    std::wstring shown = text(TextId::PcDisplayOnlySources);
    for (std::size_t i = 0; i < sources.size(); ++i)
        shown += (i ? L", " : L"") + std::wstring(sources[i]);
    return shown + noFanControl;
}

} // namespace

std::wstring amdAdapterText(const IHardwareController* controller) {
    const auto* pc = dynamic_cast<const UniversalPCController*>(controller);
    return pc ? pc->amdAdapterName() : std::wstring{};
}

double estimateSystemPower(double* cpuTemp, double* gpuTemp, bool gpuRead) {
    if (!plausible(*cpuTemp))
        *cpuTemp = 42.0;
    const double cpuPart = 25.0 + 1.2 * (*cpuTemp - 40.0);
    if (!gpuRead || !plausible(*gpuTemp))
        *gpuTemp = 39.0;
    const double gpuPart = 1.5 * (*gpuTemp - 35.0);
    return std::max(cpuPart + gpuPart, 15.0);
}

UniversalPCController::UniversalPCController(LibraryLoader* loader, ThermalZoneQuery* thermalZones,
                                             std::chrono::milliseconds sensorPeriod,
                                             ThermalCounterQuery* thermalCounters)
    : loader(loader), thermalZones(thermalZones), thermalCounters(thermalCounters),
      gpu(std::make_shared<GpuLibraries>(loader)), sensorPeriod(sensorPeriod) {}

UniversalPCController::~UniversalPCController() {
    // The sensor thread releases what the sources opened as it ends; the libraries follow with
    // the last share of them (AMD, then NVIDIA), when nothing can call into them any more.
    stopSensors();
}

void UniversalPCController::startSensors() {
    sensorsStarted = true;
    if (worker.running())
        return;
    roundsSinceStart = 0;
    gpu->load(); // before the sensor thread exists, which then only reads through it
    if (!sensors)
        sensors = std::make_shared<GenericSensorShare>(thermalZones, thermalCounters, gpu);
    std::shared_ptr<GenericSensorShare> share = sensors;
    worker.start(
        sensorPeriod, [share] { share->takeSample(); }, [share] { share->finish(); });
}

void UniversalPCController::stopSensors() {
    if (worker.stop())
        return;
    // Left behind in a source call, the thread keeps its sources and libraries; a later start
    // gets its own, so that no two threads ever read through the same ones.
    sensors.reset();
    gpu = std::make_shared<GpuLibraries>(loader);
}

bool UniversalPCController::connect(const SystemIdentity& id) {
    identity = id;
    connected = true;
    startSensors();
    const VendorProfile& profile = profileOf(identity.vendor);
    fanChannels.clear();
    for (std::int32_t i = 0; i < 2; ++i) {
        const FanRow& row = profile.fans[i];
        FanChannel fan;
        fan.index = i;
        fan.label = text(row.label);
        fan.currentRpm = row.start;
        fan.targetRpm = row.start;
        fan.minRpm = row.min;
        fan.maxRpm = row.max;
        fan.manual = false;
        fan.measured = false; // nothing reads these fans; only a GPU's tachometer may
        fanChannels.push_back(fan);
    }
    status = statusOf(GenericSensorSnapshot{});
    return true;
}

void UniversalPCController::disconnect() {
    stopSensors(); // the thread releases WMI on its way out
    connected = false;
}

std::wstring UniversalPCController::backendName() const {
    if (identity.vendor == VendorKind::Msi)
        return MSI_NAME;
    const wchar_t* name = profileOf(identity.vendor).name;
    return name != nullptr ? name : text(TextId::PcGenericName);
}

bool UniversalPCController::setFanRpm(std::int32_t fanIndex, double rpm) {
    if (fanIndex < 0 || static_cast<std::size_t>(fanIndex) >= fanChannels.size())
        return false;
    if (!std::isfinite(rpm))
        return false;
    FanChannel& fan = fanChannels[static_cast<std::size_t>(fanIndex)];
    rpm = std::fmax(std::fmin(fan.minRpm, fan.maxRpm),
                    std::fmin(rpm, std::fmax(fan.minRpm, fan.maxRpm)));
    fan.manual = true;
    fan.targetRpm = rpm;
    if (!fan.measured) // a measured speed stays what the tachometer said
        fan.currentRpm = rpm;
    return true;
}

const FanChannel* UniversalPCController::knownFan(std::int32_t fanIndex) const {
    if (fanIndex < 0 || static_cast<std::size_t>(fanIndex) >= fanChannels.size())
        return nullptr;
    return &fanChannels[static_cast<std::size_t>(fanIndex)];
}

bool UniversalPCController::setAutomatic() {
    for (FanChannel& fan : fanChannels)
        fan.manual = false;
    return true;
}

void UniversalPCController::showGpuFan(const GenericSensorSnapshot& snapshot) {
    if (fanChannels.size() < 2)
        return;
    // The second fan shows a GPU fan's measured speed, NVIDIA's first; without one, the speed
    // last asked for again, which is no reading.
    double rpm = 0.0;
    if (snapshot.gpuFanRead && snapshot.gpuFanRpm > 0)
        rpm = snapshot.gpuFanRpm;
    else if (snapshot.amdRead && snapshot.amd.fanRpm && *snapshot.amd.fanRpm > 0)
        rpm = *snapshot.amd.fanRpm;
    FanChannel& fan = fanChannels[1];
    if (rpm > 0) {
        fan.currentRpm = rpm;
        fan.measured = true;
    } else if (fan.measured) {
        fan.currentRpm = fan.targetRpm;
        fan.measured = false;
    }
}

bool UniversalPCController::update(double* cpuTemp, double* gpuTemp, double* powerWatts,
                                   std::vector<SensorReading>* readings) {
    // After a disconnect the sensors start again, as the query would have reconnected; before
    // the first connect the libraries are not loaded yet, and there is nothing to read.
    if (sensorsStarted)
        startSensors();
    // The first round (the one right after connect, before the program's window exists) only
    // starts the thread: COM joined on another thread while the window is being created makes
    // Wine put that window out of other processes' reach. From the second round on it reads.
    if (++roundsSinceStart == 2)
        worker.wake();
    GenericSensorSnapshot snapshot;
    if (sensors)
        snapshot = sensors->latestSnapshot();
    // A snapshot the sensor thread has not renewed for long is no answer: a source call hangs.
    const bool answered = snapshot.taken && RetryBackoff::Clock::now() - snapshot.takenAt <=
                                                STALE_AFTER * sensorPeriod;
    if (!answered) {
        GenericSensorSnapshot nothing;
        nothing.taken = snapshot.taken;
        snapshot = std::move(nothing);
    }
    std::vector<SensorReading> rows;

    double cpu = 0.0;
    const std::vector<ThermalZoneReading>& zones = snapshot.zones;
    const wchar_t* const keyFormat =
        snapshot.zoneSource == ZoneSource::Counters ? L"PZ%02d" : L"TZ%02d";
    for (std::size_t i = 0; i < zones.size(); ++i) {
        wchar_t key[16];
        formatBounded(key, 16, keyFormat, static_cast<int>(i));
        rows.push_back(
            reading(key, zones[i].name, L"ACPI Thermal Zones", L"°C", zones[i].temperature));
        rows.back().unchanging = zones[i].unchanging;
        cpu = std::max(cpu, zones[i].temperature);
    }

    const bool nvidiaRead = snapshot.gpuTemperatureRead;
    if (nvidiaRead || snapshot.gpuFanRead)
        rows.push_back(reading(L"NV01", text(TextId::NvidiaCore), text(TextId::CategoryNvidia),
                               L"°C", nvidiaRead ? snapshot.gpuCelsius : 0.0));
    if (snapshot.amdRead) {
        appendAmdRows(snapshot.amd, &rows);
        amdAdapter = snapshot.amdAdapter;
    }
    showGpuFan(snapshot);

    // NVIDIA's temperature where it has a plausible one, else AMD's edge; an implausible NVIDIA
    // reading still counts as read, and the estimate replaces it.
    bool gpuRead = false;
    double gpuCelsius = 0.0;
    if (nvidiaRead && plausible(snapshot.gpuCelsius)) {
        gpuRead = true;
        gpuCelsius = snapshot.gpuCelsius;
    } else if (snapshot.amdRead && snapshot.amd.edge) {
        gpuRead = true;
        gpuCelsius = *snapshot.amd.edge;
    } else if (nvidiaRead) {
        gpuRead = true;
        gpuCelsius = snapshot.gpuCelsius;
    }

    status = statusOf(snapshot);
    // The fans' names follow a change of language with the next update.
    const VendorProfile& profile = profileOf(identity.vendor);
    for (std::size_t i = 0; i < fanChannels.size() && i < 2; ++i)
        fanChannels[i].label = text(profile.fans[i].label);
    quality.noSource =
        snapshot.taken && zones.empty() && !nvidiaRead && !snapshot.gpuFanRead && !snapshot.amdRead;
    quality.cpuTempFallback = !plausible(cpu);
    quality.gpuTempFallback = !gpuRead || !plausible(gpuCelsius);
    quality.powerEstimated = true;
    const double power = estimateSystemPower(&cpu, &gpuCelsius, gpuRead);
    lastCpuTemp = cpu;
    lastGpuTemp = gpuCelsius;
    if (cpuTemp)
        *cpuTemp = cpu;
    if (gpuTemp)
        *gpuTemp = gpuCelsius;
    if (powerWatts)
        *powerWatts = power;
    rows.push_back(
        reading(L"PWR1", text(TextId::EstimatedPower), text(TextId::CategoryPower), L"W", power));
    if (readings)
        *readings = std::move(rows);
    return true;
}
