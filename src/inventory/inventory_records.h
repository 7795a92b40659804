#pragma once

#include "base/color.h"

#include <string>
#include <vector>

// One label/value line of the hardware tab.
struct InventoryRow {
    std::wstring label;
    std::wstring value;
};

// One titled card of the hardware tab.
struct InventorySection {
    std::wstring title;
    std::wstring subtitle;
    Color accentColor = 0; // heading colour, 0x00BBGGRR
    std::vector<InventoryRow> rows;
};
