#pragma once

#include "inventory/inventory_records.h"

#include <cstdint>
#include <string>

// Describes the machine once for the hardware tab: model and board, processor, memory,
// graphics and display, fixed drives. Reads identity and controller, writes appState.inventory.
// Every source has a fallback, so the five sections always appear.
void collectInventory();

// The processor name from the 48 raw brand bytes, "Standard x64 Processor" without them.
std::wstring processorNameFromBrand(const std::string& brandBytes);
