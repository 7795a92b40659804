#include "hardware/backend_selection.h"

#include "app/app_state.h"
#include "hardware/apple_smc_controller.h"
#include "hardware/universal_pc_controller.h"
#include "hardware/vendor_detection.h"
#include "regulation/periodic_tick.h"

#include <memory>

void initBackend() {
    appState.identity = detectSystemIdentity();

    // Created unconnected: it opens nothing until the old one is gone.
    std::unique_ptr<IHardwareController> fresh;
    if (appState.identity.isApple)
        fresh = std::make_unique<AppleSmcController>();
    else
        fresh = std::make_unique<UniversalPCController>();

    std::unique_ptr<IHardwareController> previous = std::move(appState.controller);
    appState.controller = std::move(fresh);
    // Its fans are not handed back first; its destructor releases device, WMI and libraries.
    previous.reset();

    // Asked before it connects, a backend answers with the fans it was built with: the ranges
    // that stand in for an impossible one the hardware may report later.
    appState.safety.defaultFans = appState.controller->fans();
    appState.controller->connect(appState.identity);
    // Another backend may have other fans and sensors: labels, ranges and rows come afresh
    // from this one.
    appState.fanList.clear();
    appState.sensorList.clear();
    runTick();
}
