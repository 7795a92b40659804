#include "ui/backend_state.h"

#include "ui/theme.h"

BackendState backendState(const WindowModel& model) {
    using namespace palette;
    const IHardwareController* controller = model.controller();
    if (!controller || !controller->isConnected())
        return {L"Offline", Warning};
    if (model.readings().driverFault)
        return {L"Treiber-Fehler", Critical};
    if (!controller->drivesFans())
        return model.readings().quality.noSource ? BackendState{L"Keine Sensoren", Warning}
                                                 : BackendState{L"Nur Anzeige", TextMuted};
    return {L"Treiber OK", Good};
}
