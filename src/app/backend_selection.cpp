#include "app/backend_selection.h"

#include "app/app_tick.h"
#include "hardware/apple_smc_controller.h"
#include "hardware/universal_pc_controller.h"
#include "hardware/vendor_detection.h"
#include "regulation/fan_guard.h"

#include <memory>

void initBackend(AppState& app) {
    app.identity = detectSystemIdentity();
    RegulationState& regulation = app.regulation;

    // Created unconnected: it opens nothing until the old one is gone.
    std::unique_ptr<IHardwareController> fresh;
    if (app.identity.isApple)
        fresh = std::make_unique<AppleSmcController>();
    else
        fresh = std::make_unique<UniversalPCController>();

    std::unique_ptr<IHardwareController> previous = std::move(regulation.controller);
    regulation.controller = std::move(fresh);
    // Its fans are not handed back first; its destructor releases device, WMI and libraries,
    // or leaves a sensor thread hung in a source call to release its own when it comes back.
    previous.reset();

    // Asked before it connects, a backend answers with the fans it was built with: the ranges
    // that stand in for an impossible one the hardware may report later.
    regulation.safety.defaultFans = regulation.controller->fans();
    regulation.controller->connect(app.identity);
    // Another backend may have other fans and sensors: labels, ranges and rows come afresh
    // from this one, and no temperature counts as measured before it answered.
    regulation.readings.fanList.clear();
    regulation.readings.sensorList.clear();
    FanSafetyState& safety = regulation.safety;
    safety.cpuAge = safety.gpuAge = safety.powerAge = -1;
    tickApp(app);
    // A fan left forced, by an earlier run or before the reconnect, goes back first.
    reconcileFansAtConnect(regulation, app.settings);
}
