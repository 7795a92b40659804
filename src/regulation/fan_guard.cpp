#include "regulation/fan_guard.h"

#include "base/bounded_format.h"
#include "regulation/control_modes.h"
#include "regulation/fan_commands.h"
#include "regulation/reading_ages.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <vector>

namespace {

bool fresh(std::int32_t age) {
    return age == 0;
}

// The temperatures the mode regulates by: the curve's source, or both for the fixed modes.
// A value never measured does not count; one measured and then lost does.
bool controlTemperatureLost(const FanSafetyState& s, const Settings& settings) {
    const bool cpuLost = s.cpuAge >= READING_LOST_TICKS;
    const bool gpuLost = s.gpuAge >= READING_LOST_TICKS;
    if (settings.mode == ControlMode::Curve && settings.curveSource == 1)
        return cpuLost;
    if (settings.mode == ControlMode::Curve && settings.curveSource == 2)
        return gpuLost;
    return cpuLost || gpuLost;
}

bool anyFanBelowMaximum(const RegulationState& regulation) {
    const std::vector<FanChannel>& fans = regulation.readings.fanList;
    const std::array<double, 4>& commandedRpm = regulation.safety.commandedRpm;
    for (std::size_t i = 0; i < fans.size(); ++i) {
        const double commanded = i < commandedRpm.size() ? commandedRpm[i] : -1.0;
        if (commanded >= 0.0 && commanded < fans[i].maxRpm - 0.5)
            return true;
    }
    return false;
}

// Ends the mode for the firmware's own control, saved like a choice of the user's, and says
// why as an error.
void giveUpControl(RegulationState& regulation, Settings& settings, const wchar_t* reason) {
    applyControlMode(regulation, settings, ControlMode::SystemAuto);
    regulation.notice = {reason, true};
}

// A fan the firmware took back, or a command the hardware refused, is tried again.
void recommandFans(RegulationState& regulation, const Settings& settings) {
    FanSafetyState& s = regulation.safety;
    const std::vector<FanChannel>& fans = regulation.readings.fanList;
    if (s.ticksSinceRecommand < RECOMMAND_INTERVAL_TICKS)
        ++s.ticksSinceRecommand;
    const bool taken =
        std::any_of(fans.begin(), fans.end(), [](const FanChannel& f) { return !f.manual; });
    if (!(taken || s.commandsFailing) || s.ticksSinceRecommand < RECOMMAND_INTERVAL_TICKS)
        return;
    s.ticksSinceRecommand = 0;
    regulation.lastCurveRpm.fill(-1.0);
    commandMode(regulation, settings, settings.mode, true);
}

} // namespace

void noteTickOutcome(RegulationState& regulation, bool readsSucceeded) {
    FanSafetyState& s = regulation.safety;
    if (readsSucceeded && !s.commandsFailing)
        s.failedTicks = 0;
    else if (s.failedTicks < DRIVER_FAULT_TICKS)
        ++s.failedTicks;
    regulation.readings.driverFault = s.failedTicks >= DRIVER_FAULT_TICKS;
}

void guardFans(RegulationState& regulation, Settings& settings) {
    FanSafetyState& s = regulation.safety;
    const Readings& r = regulation.readings;
    const bool hot = (fresh(s.cpuAge) && r.cpuTemp >= OVER_TEMPERATURE_C) ||
                     (fresh(s.gpuAge) && r.gpuTemp >= OVER_TEMPERATURE_C);
    s.hotTicks = hot ? std::min(s.hotTicks + 1, OVER_TEMPERATURE_TICKS) : 0;

    if (settings.mode == ControlMode::SystemAuto || s.suspended || !regulation.controller)
        return;
    if (controlTemperatureLost(s, settings)) {
        giveUpControl(regulation, settings,
                      L"Temperatur nicht mehr lesbar: Lüfter an System-Automatik übergeben.");
        return;
    }
    if (s.hotTicks >= OVER_TEMPERATURE_TICKS && anyFanBelowMaximum(regulation)) {
        const double hottest =
            std::max(fresh(s.cpuAge) ? r.cpuTemp : 0.0, fresh(s.gpuAge) ? r.gpuTemp : 0.0);
        wchar_t text[128];
        formatBounded(text, 128, L"Übertemperatur (%.0f °C): Lüfter an System-Automatik übergeben.",
                      hottest);
        giveUpControl(regulation, settings, text);
        return;
    }
    recommandFans(regulation, settings);
}

void reconcileFansAtStart(RegulationState& regulation, const Settings& settings) {
    if (settings.mode != ControlMode::SystemAuto || !regulation.controller)
        return;
    const std::vector<FanChannel>& fans = regulation.readings.fanList;
    const bool forced =
        std::any_of(fans.begin(), fans.end(), [](const FanChannel& f) { return f.manual; });
    if (!forced)
        return;
    handFansBack(regulation);
    regulation.notice = {
        L"Lüfter waren noch manuell gesteuert – an System-Automatik zurückgegeben.", false};
}
