#include "hardware/hardware_controller.h"

bool IHardwareController::setFanPercent(std::int32_t fanIndex, double percent) {
    const FanChannel* fan = knownFan(fanIndex);
    if (fan == nullptr)
        return false;
    return setFanRpm(fanIndex, fan->minRpm + (fan->maxRpm - fan->minRpm) * percent / 100.0);
}
