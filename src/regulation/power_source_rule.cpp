#include "regulation/power_source_rule.h"

PowerSource powerSourceOf(const PowerStatus& status) {
    if (status.batteryFlag == BATTERY_FLAG_UNKNOWN ||
        (status.batteryFlag & BATTERY_FLAG_NO_BATTERY) != 0)
        return PowerSource::None;
    if (status.acLineStatus == 0)
        return PowerSource::Battery;
    if (status.acLineStatus == 1)
        return PowerSource::Mains;
    return PowerSource::None;
}

std::optional<ControlMode> modeForPowerSource(const AutomationSettings& automation,
                                              PowerSource before, PowerSource now) {
    if (!automation.followPowerSource || now == PowerSource::None || now == before)
        return std::nullopt;
    return now == PowerSource::Battery ? automation.batteryMode : automation.mainsMode;
}

void rememberChosenMode(AutomationSettings& automation, PowerSource source, ControlMode mode) {
    if (source == PowerSource::Mains)
        automation.mainsMode = mode;
    else if (source == PowerSource::Battery && automation.followPowerSource)
        automation.batteryMode = mode;
}
