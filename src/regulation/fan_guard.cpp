#include "regulation/fan_guard.h"

#include "app/app_state.h"
#include "base/bounded_format.h"
#include "regulation/control_modes.h"
#include "regulation/fan_commands.h"
#include "regulation/reading_ages.h"

#include <algorithm>
#include <cstddef>

namespace {

bool fresh(std::int32_t age) {
    return age == 0;
}

// The temperatures the mode regulates by: the curve's source, or both for the fixed modes.
// A value never measured does not count; one measured and then lost does.
bool controlTemperatureLost() {
    const FanSafetyState& s = appState.safety;
    const bool cpuLost = s.cpuAge >= READING_LOST_TICKS;
    const bool gpuLost = s.gpuAge >= READING_LOST_TICKS;
    if (appState.mode == ControlMode::Curve && appState.curveSource == 1)
        return cpuLost;
    if (appState.mode == ControlMode::Curve && appState.curveSource == 2)
        return gpuLost;
    return cpuLost || gpuLost;
}

bool anyFanBelowMaximum() {
    for (std::size_t i = 0; i < appState.fanList.size(); ++i) {
        const double commanded =
            i < appState.safety.commandedRpm.size() ? appState.safety.commandedRpm[i] : -1.0;
        if (commanded >= 0.0 && commanded < appState.fanList[i].maxRpm - 0.5)
            return true;
    }
    return false;
}

// Ends the mode for the firmware's own control, saved like a choice of the user's, and says
// why as an error.
void giveUpControl(const wchar_t* reason) {
    applyControlMode(ControlMode::SystemAuto);
    appState.noticeText = reason;
    appState.noticeIsError = true;
}

// A fan the firmware took back, or a command the hardware refused, is tried again.
void recommandFans() {
    FanSafetyState& s = appState.safety;
    if (s.ticksSinceRecommand < RECOMMAND_INTERVAL_TICKS)
        ++s.ticksSinceRecommand;
    const bool taken = std::any_of(appState.fanList.begin(), appState.fanList.end(),
                                   [](const FanChannel& f) { return !f.manual; });
    if (!(taken || s.commandsFailing) || s.ticksSinceRecommand < RECOMMAND_INTERVAL_TICKS)
        return;
    s.ticksSinceRecommand = 0;
    appState.lastCurveRpm.fill(-1.0);
    commandMode(appState.mode, true);
}

} // namespace

void noteTickOutcome(bool readsSucceeded) {
    FanSafetyState& s = appState.safety;
    if (readsSucceeded && !s.commandsFailing)
        s.failedTicks = 0;
    else if (s.failedTicks < DRIVER_FAULT_TICKS)
        ++s.failedTicks;
    appState.driverFault = s.failedTicks >= DRIVER_FAULT_TICKS;
}

void guardFans() {
    FanSafetyState& s = appState.safety;
    const bool hot = (fresh(s.cpuAge) && appState.cpuTemp >= OVER_TEMPERATURE_C) ||
                     (fresh(s.gpuAge) && appState.gpuTemp >= OVER_TEMPERATURE_C);
    s.hotTicks = hot ? std::min(s.hotTicks + 1, OVER_TEMPERATURE_TICKS) : 0;

    if (appState.mode == ControlMode::SystemAuto || s.suspended || !appState.controller)
        return;
    if (controlTemperatureLost()) {
        giveUpControl(L"Temperatur nicht mehr lesbar: Lüfter an System-Automatik übergeben.");
        return;
    }
    if (s.hotTicks >= OVER_TEMPERATURE_TICKS && anyFanBelowMaximum()) {
        const double hottest = std::max(fresh(s.cpuAge) ? appState.cpuTemp : 0.0,
                                        fresh(s.gpuAge) ? appState.gpuTemp : 0.0);
        wchar_t text[128];
        formatBounded(text, 128, L"Übertemperatur (%.0f °C): Lüfter an System-Automatik übergeben.",
                      hottest);
        giveUpControl(text);
        return;
    }
    recommandFans();
}

void reconcileFansAtStart() {
    if (appState.mode != ControlMode::SystemAuto || !appState.controller)
        return;
    const bool forced = std::any_of(appState.fanList.begin(), appState.fanList.end(),
                                    [](const FanChannel& f) { return f.manual; });
    if (!forced)
        return;
    handFansBack();
    appState.noticeText =
        L"Lüfter waren noch manuell gesteuert – an System-Automatik zurückgegeben.";
    appState.noticeIsError = false;
}
