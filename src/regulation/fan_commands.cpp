#include "regulation/fan_commands.h"

#include "app/app_state.h"

#include <cmath>
#include <cstdint>

namespace {

bool note(bool ok) {
    appState.safety.commandsFailing = !ok;
    return ok;
}

} // namespace

bool commandFanRpm(std::size_t index, double rpm) {
    if (!appState.controller || appState.safety.suspended)
        return false;
    // Within the range the program shows and regulates by, which stands in for a misread one.
    if (index < appState.fanList.size() && plausibleFanRange(appState.fanList[index])) {
        const FanChannel& fan = appState.fanList[index];
        rpm = std::fmax(fan.minRpm, std::fmin(rpm, fan.maxRpm));
    }
    if (index < appState.safety.commandedRpm.size())
        appState.safety.commandedRpm[index] = rpm;
    return note(appState.controller->setFanRpm(static_cast<std::int32_t>(index), rpm));
}

bool handFansBack() {
    appState.safety.commandedRpm.fill(-1.0);
    if (!appState.controller)
        return false;
    return note(appState.controller->setAutomatic());
}
