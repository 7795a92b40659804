#include "app/tray_notifications.h"

#include "base/bounded_format.h"
#include "base/texts.h"
#include "platform/platform.h"
#include "regulation/control_temperature.h"

#include <cmath>

namespace {

std::size_t slot(NotificationCause cause, std::size_t fan = 0) {
    return static_cast<std::size_t>(cause) + fan;
}

bool allowed(const TrayNotificationState& state, std::size_t cause, std::int64_t nowMs) {
    return !state.shown[cause] || nowMs - state.lastShownMs[cause] >= NOTIFICATION_INTERVAL_MS;
}

// Shows the balloon when the cause may speak now; true when the shell took it.
bool tell(TrayNotificationState& state, std::size_t cause, const TrayBalloon& balloon,
          std::int64_t nowMs) {
    if (!allowed(state, cause, nowMs) || platform.windowHost == nullptr ||
        !platform.windowHost->trayNotify(balloon))
        return false;
    state.shown[cause] = true;
    state.lastShownMs[cause] = nowMs;
    return true;
}

// Follows a condition tick by tick; true once it has held long enough and was not told yet.
bool heldLongEnough(HeldCondition& condition, bool holds, std::int64_t nowMs) {
    if (!holds) {
        condition = HeldCondition{};
        return false;
    }
    if (condition.sinceMs < 0)
        condition.sinceMs = nowMs;
    return !condition.told && nowMs - condition.sinceMs >= NOTIFICATION_HOLD_MS;
}

TrayBalloon alarmBalloon(double celsius, const wchar_t* which, std::int32_t threshold) {
    wchar_t text[256];
    formatBounded(text, 256, ::text(TextId::BalloonAlarm), which, celsius,
                  static_cast<int>(threshold));
    return {::text(TextId::BalloonAlarmTitle), text, TrayBalloonKind::Warning};
}

TrayBalloon stallBalloon(const FanChannel& fan, std::size_t index, double commanded) {
    wchar_t text[256];
    formatBounded(text, 256, ::text(TextId::BalloonStall), static_cast<int>(index) + 1,
                  fan.currentRpm, commanded, fan.minRpm);
    return {::text(TextId::BalloonStallTitle), text, TrayBalloonKind::Warning};
}

} // namespace

bool notificationForEvent(const RegulationEvent& event, NotificationCause* cause,
                          TrayBalloon* balloon) {
    switch (event.kind) {
    case RegulationEventKind::HandedBack:
        switch (event.reason) {
        case HandBackReason::OverTemperature:
            *cause = NotificationCause::OverTemperature;
            *balloon = {text(TextId::BalloonOverTemperatureTitle), event.text,
                        TrayBalloonKind::Warning};
            break;
        case HandBackReason::TemperatureLost:
            *cause = NotificationCause::TemperatureLost;
            *balloon = {text(TextId::BalloonTemperatureLostTitle), event.text,
                        TrayBalloonKind::Warning};
            break;
        case HandBackReason::NeverMeasured:
            *cause = NotificationCause::NeverMeasured;
            *balloon = {text(TextId::BalloonNeverMeasuredTitle), event.text,
                        TrayBalloonKind::Warning};
            break;
        case HandBackReason::LeftoverAtConnect:
            *cause = NotificationCause::LeftoverAtConnect;
            *balloon = {text(TextId::BalloonHandedBackTitle), event.text, TrayBalloonKind::Info};
            break;
        case HandBackReason::None:
        default:
            return false;
        }
        break;
    case RegulationEventKind::HandBackFailing:
        *cause = NotificationCause::HandBackFailing;
        *balloon = {text(TextId::BalloonHandBackFailingTitle), event.text, TrayBalloonKind::Error};
        break;
    case RegulationEventKind::DriverFault:
        *cause = NotificationCause::DriverFault;
        *balloon = {text(TextId::StateDriverError), text(TextId::BalloonDriverFault),
                    TrayBalloonKind::Error};
        break;
    case RegulationEventKind::ModeApplied:
    case RegulationEventKind::DriverRecovered:
    default:
        return false;
    }
    // A hand-back says what happened even if its notice was left empty.
    if (balloon->text.empty())
        balloon->text = balloon->title;
    return true;
}

bool fanStalled(const RegulationState& regulation, const Settings& settings, bool fansDriven,
                std::size_t fan) {
    const std::vector<FanChannel>& fans = regulation.readings.fanList;
    const FanSafetyState& safety = regulation.safety;
    if (!fansDriven || !regulation.controller || settings.mode == ControlMode::SystemAuto ||
        safety.suspended || regulation.readings.driverFault || fan >= fans.size() ||
        fan >= safety.commandedRpm.size())
        return false;
    const FanChannel& f = fans[fan];
    const double commanded = safety.commandedRpm[fan];
    return f.measured && f.minRpm > 0.0 && commanded >= f.minRpm && f.currentRpm < f.minRpm / 2.0;
}

void notifyEvents(TrayNotificationState& state, const RegulationState& regulation,
                  const Settings& settings, bool fansDriven, std::int64_t nowMs) {
    const bool enabled = settings.tray.notifications;
    for (const RegulationEvent& event : regulation.events) {
        NotificationCause cause{};
        TrayBalloon balloon;
        if (enabled && notificationForEvent(event, &cause, &balloon))
            tell(state, slot(cause), balloon, nowMs);
    }

    const wchar_t* which = L"CPU";
    const double hottest = hottestCurrentTemperature(regulation, &which);
    const bool hot = !std::isnan(hottest) && hottest >= settings.tray.alarmCelsius;
    if (heldLongEnough(state.alarm, hot, nowMs) && enabled)
        state.alarm.told = tell(state, slot(NotificationCause::TemperatureAlarm),
                                alarmBalloon(hottest, which, settings.tray.alarmCelsius), nowMs);

    for (std::size_t i = 0; i < STALL_CAUSES; ++i) {
        const bool stalled = fanStalled(regulation, settings, fansDriven, i);
        if (heldLongEnough(state.stall[i], stalled, nowMs) && enabled)
            state.stall[i].told = tell(
                state, slot(NotificationCause::FanStall, i),
                stallBalloon(regulation.readings.fanList[i], i, regulation.safety.commandedRpm[i]),
                nowMs);
    }
}
