#pragma once

#include "platform/window_host.h"
#include "regulation/regulation_state.h"
#include "settings/settings.h"

#include <array>
#include <cstddef>
#include <cstdint>

// Why the tray speaks up. Each fan's stall is a cause of its own.
enum class NotificationCause : std::uint8_t {
    OverTemperature,   // the fans were handed back because the machine ran too hot
    TemperatureLost,   // ... because the temperature could no longer be read
    NeverMeasured,     // ... because it was never measured since the hardware connected
    LeftoverAtConnect, // fans an earlier run left forced were handed back
    HandBackFailing,   // a hand-back keeps failing: the fans may still be forced
    DriverFault,       // the hardware stopped answering
    TemperatureAlarm,  // a temperature at or above the alarm threshold for a while
    FanStall,          // + fan index: a driven fan that barely turns
};
inline constexpr std::size_t STALL_CAUSES = 4;
inline constexpr std::size_t NOTIFICATION_CAUSES =
    static_cast<std::size_t>(NotificationCause::FanStall) + STALL_CAUSES;

// At most one notification per cause in this time; a condition must hold this long.
inline constexpr std::int64_t NOTIFICATION_INTERVAL_MS = 10 * 60 * 1000;
inline constexpr std::int64_t NOTIFICATION_HOLD_MS = 5000;

// A condition watched over time: since when it holds, and whether it was told this time.
struct HeldCondition {
    std::int64_t sinceMs = -1; // -1: does not hold
    bool told = false;
};

struct TrayNotificationState {
    std::array<std::int64_t, NOTIFICATION_CAUSES> lastShownMs{};
    std::array<bool, NOTIFICATION_CAUSES> shown{}; // shown at least once
    HeldCondition alarm;
    std::array<HeldCondition, STALL_CAUSES> stall;
};

// The notification an event of the regulation calls for; false when it calls for none (a mode
// applied, a driver that recovered).
bool notificationForEvent(const RegulationEvent& event, NotificationCause* cause,
                          TrayBalloon* balloon);

// Whether a fan the program drives barely turns: measured below half its minimum while the
// speed the program commanded is at least that minimum. fansDriven says that the commands
// reach the fans (the SMC backend); the generic backend only records them, and a graphics
// card's fan it measures may stand still at idle. Fans whose speed is only what was asked for
// (not measured), and ticks whose readings failed, show nothing.
bool fanStalled(const RegulationState& regulation, const Settings& settings, bool fansDriven,
                std::size_t fan);

// After every tick, at nowMs on a steady clock: each event of the regulation, a fan that
// stalled for NOTIFICATION_HOLD_MS and a temperature at or above the alarm threshold for as
// long become balloon notifications, at most one per cause in NOTIFICATION_INTERVAL_MS and
// none while the user turned them off. A condition that goes on is told once, when it has
// held long enough or, if that fell within the interval, when the interval is over. The
// events are left in place for the tick's other readers.
void notifyEvents(TrayNotificationState& state, const RegulationState& regulation,
                  const Settings& settings, bool fansDriven, std::int64_t nowMs);
