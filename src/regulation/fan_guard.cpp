#include "regulation/fan_guard.h"

#include "base/bounded_format.h"
#include "base/texts.h"
#include "regulation/control_modes.h"
#include "regulation/control_temperature.h"
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

bool anyFanForced(const std::vector<FanChannel>& fans) {
    return std::any_of(fans.begin(), fans.end(), [](const FanChannel& f) { return f.manual; });
}

// A fan the program holds below its maximum: by what it commanded, or by the target the
// hardware reports for a fan it holds (a command that half failed leaves the firmware's last
// target in place).
bool anyFanBelowMaximum(const RegulationState& regulation) {
    const std::vector<FanChannel>& fans = regulation.readings.fanList;
    const std::array<double, 4>& commandedRpm = regulation.safety.commandedRpm;
    for (std::size_t i = 0; i < fans.size(); ++i) {
        const double commanded = i < commandedRpm.size() ? commandedRpm[i] : -1.0;
        const double ceiling = fans[i].maxRpm - 0.5;
        if (commanded >= 0.0 && commanded < ceiling)
            return true;
        if (fans[i].manual && fans[i].targetRpm < ceiling)
            return true;
    }
    return false;
}

// Ends the mode for the firmware's own control, saved like a choice of the user's, and says
// why as an error.
void giveUpControl(RegulationState& regulation, Settings& settings, HandBackReason reason,
                   const wchar_t* text, double temperature = 0.0) {
    const ControlMode ended = settings.mode;
    applyControlMode(regulation, settings, ControlMode::SystemAuto);
    regulation.notice = {text, true};
    regulation.events.push_back(
        {RegulationEventKind::HandedBack, ended, reason, true, temperature, text});
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

// In System-Auto the program still watches: a fan that reads as forced (a hand-back that did
// not take, a driver that came back) is handed back again until all read automatic.
void superviseSystemAuto(RegulationState& regulation) {
    FanSafetyState& s = regulation.safety;
    if (!anyFanForced(regulation.readings.fanList)) {
        s.ticksSinceRecommand = 0;
        if (s.handBackRetrying)
            regulation.notice = {text(TextId::NoticeRetryDone), false};
        s.handBackRetrying = false;
        return;
    }
    if (++s.ticksSinceRecommand < RECOMMAND_INTERVAL_TICKS)
        return;
    s.ticksSinceRecommand = 0;
    const bool sent = handFansBack(regulation);
    s.handBackRetrying = true;
    regulation.notice = {text(TextId::NoticeRetrying), true};
    regulation.events.push_back({RegulationEventKind::HandBackFailing, ControlMode::SystemAuto,
                                 HandBackReason::None, sent, 0.0, text(TextId::NoticeRetrying)});
}

} // namespace

void noteTickOutcome(RegulationState& regulation, bool readsSucceeded) {
    FanSafetyState& s = regulation.safety;
    if (readsSucceeded && !s.commandsFailing)
        s.failedTicks = 0;
    else if (s.failedTicks < DRIVER_FAULT_TICKS)
        ++s.failedTicks;
    const bool fault = s.failedTicks >= DRIVER_FAULT_TICKS;
    if (fault != regulation.readings.driverFault) {
        RegulationEvent event;
        event.kind =
            fault ? RegulationEventKind::DriverFault : RegulationEventKind::DriverRecovered;
        regulation.events.push_back(event);
    }
    regulation.readings.driverFault = fault;
}

void guardFans(RegulationState& regulation, Settings& settings) {
    FanSafetyState& s = regulation.safety;
    const Readings& r = regulation.readings;
    const bool hot = (fresh(s.cpuAge) && r.cpuTemp >= OVER_TEMPERATURE_C) ||
                     (fresh(s.gpuAge) && r.gpuTemp >= OVER_TEMPERATURE_C);
    s.hotTicks = hot ? std::min(s.hotTicks + 1, OVER_TEMPERATURE_TICKS) : 0;

    if (s.suspended || !regulation.controller)
        return;
    if (settings.mode == ControlMode::SystemAuto) {
        superviseSystemAuto(regulation);
        return;
    }
    if (!controlTemperatureMeasured(s, settings, settings.mode)) {
        giveUpControl(regulation, settings, HandBackReason::NeverMeasured,
                      text(TextId::NoticeNeverMeasured));
        return;
    }
    if (controlTemperatureLost(s, settings)) {
        giveUpControl(regulation, settings, HandBackReason::TemperatureLost,
                      text(TextId::NoticeTemperatureLost));
        return;
    }
    if (s.hotTicks >= OVER_TEMPERATURE_TICKS && anyFanBelowMaximum(regulation)) {
        const double hottest =
            std::max(fresh(s.cpuAge) ? r.cpuTemp : 0.0, fresh(s.gpuAge) ? r.gpuTemp : 0.0);
        wchar_t shown[128];
        formatBounded(shown, 128, text(TextId::NoticeOverTemperature), hottest);
        giveUpControl(regulation, settings, HandBackReason::OverTemperature, shown, hottest);
        return;
    }
    recommandFans(regulation, settings);
}

void reconcileFansAtConnect(RegulationState& regulation, const Settings& settings) {
    if (settings.mode != ControlMode::SystemAuto || !regulation.controller ||
        !anyFanForced(regulation.readings.fanList))
        return;
    handFansBack(regulation);
    regulation.notice = {text(TextId::NoticeLeftover), false};
    regulation.events.push_back({RegulationEventKind::HandedBack, ControlMode::SystemAuto,
                                 HandBackReason::LeftoverAtConnect, true, 0.0,
                                 text(TextId::NoticeLeftover)});
}
