#include "hardware/hardware_controller.h"

bool IHardwareController::setFanPercent(std::int32_t fanIndex, double percent) {
    // The fan list is the backend's own; fans() hands out a copy of it, fresh from the hardware
    // where the backend reads it, so the range used is the one the fan reports right now.
    const std::vector<FanChannel> list = fans();
    if (fanIndex < 0 || static_cast<std::size_t>(fanIndex) >= list.size())
        return false;
    const FanChannel& fan = list[static_cast<std::size_t>(fanIndex)];
    const double rpm = fan.minRpm + (fan.maxRpm - fan.minRpm) * percent / 100.0;
    return setFanRpm(fanIndex, rpm);
}
