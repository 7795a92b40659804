#include "regulation/fan_commands.h"

#include <cmath>
#include <cstdint>

bool commandFanRpm(RegulationState& regulation, std::size_t index, double rpm) {
    FanSafetyState& safety = regulation.safety;
    if (!regulation.controller || safety.suspended)
        return false;
    // Within the range the program shows and regulates by, which stands in for a misread one.
    const std::vector<FanChannel>& fans = regulation.readings.fanList;
    if (index < fans.size() && plausibleFanRange(fans[index])) {
        const FanChannel& fan = fans[index];
        rpm = std::fmax(fan.minRpm, std::fmin(rpm, fan.maxRpm));
    }
    const bool taken = regulation.controller->setFanRpm(static_cast<std::int32_t>(index), rpm);
    if (index < safety.commandedRpm.size())
        safety.commandedRpm[index] = taken ? rpm : -1.0;
    return taken;
}

bool handFansBack(RegulationState& regulation) {
    regulation.safety.commandedRpm.fill(-1.0);
    if (!regulation.controller)
        return false;
    const bool taken = regulation.controller->setAutomatic();
    noteCommands(regulation.safety, taken);
    return taken;
}

void noteCommands(FanSafetyState& safety, bool allTaken) {
    safety.commandsFailing = !allTaken;
}
