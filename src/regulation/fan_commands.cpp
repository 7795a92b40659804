#include "regulation/fan_commands.h"

#include <cmath>
#include <cstdint>

namespace {

bool note(FanSafetyState& safety, bool ok) {
    safety.commandsFailing = !ok;
    return ok;
}

} // namespace

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
    if (index < safety.commandedRpm.size())
        safety.commandedRpm[index] = rpm;
    return note(safety, regulation.controller->setFanRpm(static_cast<std::int32_t>(index), rpm));
}

bool handFansBack(RegulationState& regulation) {
    regulation.safety.commandedRpm.fill(-1.0);
    if (!regulation.controller)
        return false;
    return note(regulation.safety, regulation.controller->setAutomatic());
}
