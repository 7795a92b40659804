#pragma once

#include "hardware/hardware_controller.h"
#include "hardware/hardware_records.h"
#include "inventory/inventory_records.h"

#include <cstdint>
#include <string>
#include <vector>

// The inventory folder describes the machine for the hardware tab; it owns no state and calls
// base/, platform/ and hardware/.

// Model and board, processor, memory, graphics and display, fixed drives. Every source has a
// fallback, so the five sections always appear.
std::vector<InventorySection> collectInventory(const SystemIdentity& identity,
                                               const IHardwareController* controller);

// The processor name from the 48 raw brand bytes, "Standard x64 Processor" without them.
std::wstring processorNameFromBrand(const std::string& brandBytes);
