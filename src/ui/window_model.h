#pragma once

#include "hardware/hardware_controller.h"
#include "hardware/hardware_records.h"
#include "inventory/inventory_records.h"
#include "regulation/regulation_state.h"
#include "settings/settings.h"

#include <vector>

// What the painters show, read-only: the records of the folders below, gathered once per paint.
struct WindowModel {
    const Settings& settings;
    const RegulationState& regulation;
    const SystemIdentity& identity;
    const std::vector<InventorySection>& inventory;

    const Readings& readings() const { return regulation.readings; }
    const IHardwareController* controller() const { return regulation.controller.get(); }
};
