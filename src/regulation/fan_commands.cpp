#include "regulation/fan_commands.h"

#include "app/app_state.h"

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
