#pragma once

#include "hardware/amd_adl_records.h"

#include <cmath>
#include <string>

// What one AMD reading holds, as text: "edge=63 rpm=1320" and so on (whole numbers); "-" when
// it holds nothing.
inline std::string amdReadingText(const AmdGpuReading& r) {
    std::string text;
    auto add = [&](const char* name, const std::optional<double>& v) {
        if (v)
            text += (text.empty() ? "" : " ") + std::string(name) + "=" +
                    std::to_string(std::lround(*v));
    };
    add("edge", r.edge);
    add("hot", r.hotspot);
    add("mem", r.memory);
    add("rpm", r.fanRpm);
    add("fan%", r.fanPercent);
    return text.empty() ? "-" : text;
}
