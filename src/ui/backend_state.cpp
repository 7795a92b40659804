#include "ui/backend_state.h"

#include "base/texts.h"
#include "ui/theme.h"

BackendState backendState(const WindowModel& model) {
    using namespace palette;
    const IHardwareController* controller = model.controller();
    if (!controller || !controller->isConnected())
        return {text(TextId::StateOffline), Warning};
    if (model.readings().driverFault)
        return {text(TextId::StateDriverError), Critical};
    if (!controller->drivesFans())
        return model.readings().quality.noSource
                   ? BackendState{text(TextId::StateNoSensors), Warning}
                   : BackendState{text(TextId::StateDisplayOnly), TextMuted};
    return {text(TextId::StateDriverOk), Good};
}
