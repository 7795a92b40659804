#include "bench_backend.h"

#include "base/bounded_format.h"
#include "fakes/recording_controller.h"

#include <array>

namespace {

// One degree per step: enough for the curve to pass its hysteresis now and then.
constexpr std::array<double, 8> CPU_CYCLE = {58.0, 59.0, 60.0, 61.0, 62.0, 61.0, 60.0, 59.0};
constexpr std::size_t THERMAL_ZONES = 17;

// A fan as the generic backend reports it right after connecting.
FanChannel fan(std::int32_t index, const wchar_t* label, double current, double min, double max) {
    FanChannel f = makeFan(index, min, max, current);
    f.label = label;
    f.targetRpm = current;
    return f;
}

} // namespace

BenchController::BenchController() {
    fans_ = {fan(0, L"Hauptlüfter (CPU / Gehäuse)", 1800, 800, 4500),
             fan(1, L"Sekundärlüfter (GPU / Gehäuse)", 1600, 800, 4200)};
    for (std::size_t i = 0; i < THERMAL_ZONES; ++i) {
        wchar_t key[16];
        wchar_t name[64];
        formatBounded(key, 16, L"TZ%02d", static_cast<int>(i));
        formatBounded(name, 64, L"\\_TZ.THM%d", static_cast<int>(i));
        readings_.push_back(
            {key, name, L"ACPI Thermal Zones", L"°C", 40.0 + static_cast<double>(i)});
    }
    readings_.push_back(
        {L"NV01", L"NVIDIA GPU Kerntemperatur", L"Grafikkarte (NVIDIA)", L"°C", 52.0});
    readings_.push_back({L"CPU0", L"CPU Paket (geschätzt)", L"Prozessor", L"°C", 60.0});
    readings_.push_back(
        {L"PWR1", L"Geschätzte System-Gesamtleistung", L"Spannung & Leistung", L"W", 48.5});
}

bool BenchController::connect(const SystemIdentity&) {
    connected_ = true;
    return true;
}

std::wstring BenchController::backendName() const {
    return L"Universeller PC ACPI / WMI";
}

std::wstring BenchController::statusText() const {
    return L"Nur Anzeige: ACPI-Thermalzonen (WMI) – keine Lüftersteuerung auf diesem PC";
}

bool BenchController::setFanRpm(std::int32_t fanIndex, double rpm) {
    if (fanIndex < 0 || static_cast<std::size_t>(fanIndex) >= fans_.size())
        return false;
    FanChannel& f = fans_[static_cast<std::size_t>(fanIndex)];
    f.targetRpm = rpm;
    f.currentRpm = rpm;
    f.manual = true;
    return true;
}

bool BenchController::setAutomatic() {
    for (FanChannel& f : fans_)
        f.manual = false;
    return true;
}

bool BenchController::update(double* cpuTemp, double* gpuTemp, double* powerWatts,
                             std::vector<SensorReading>* readings) {
    const double cpu = CPU_CYCLE[step_];
    step_ = (step_ + 1) % CPU_CYCLE.size();
    readings_[THERMAL_ZONES + 1].value = cpu;
    // Like the real backends: the list is emptied and rebuilt on every poll.
    readings->clear();
    readings->insert(readings->end(), readings_.begin(), readings_.end());
    *cpuTemp = cpu;
    *gpuTemp = 52.0;
    *powerWatts = 48.5;
    return true;
}

const FanChannel* BenchController::knownFan(std::int32_t fanIndex) const {
    if (fanIndex < 0 || static_cast<std::size_t>(fanIndex) >= fans_.size())
        return nullptr;
    return &fans_[static_cast<std::size_t>(fanIndex)];
}
