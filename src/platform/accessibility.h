#pragma once

#include "base/rect.h"

#include <cstdint>
#include <string>
#include <vector>

// The window as screen readers and test tools see it: a flat list of elements, each naming its
// parent, in reading order. The ui folder makes the list from a paint; the Win32 side serves it
// through UI Automation.

enum class AccessibleRole {
    TabList,
    TabItem,
    Group,
    RadioButton,
    CheckBox,
    Slider,
    Button,
    Text,
};

struct AccessibleElement {
    AccessibleRole role = AccessibleRole::Text;
    // Names the element for as long as it exists (the last part of its runtime id).
    std::int32_t key = 0;
    int parent = -1; // index of the parent in the list; -1 for a child of the window
    std::wstring automationId;
    std::wstring name;
    Rect bounds; // client layout pixels
    bool focusable = false;
    bool focused = false;  // has the keyboard focus (the window has it too)
    bool selected = false; // TabItem, RadioButton
    bool toggled = false;  // CheckBox
    bool live = false;     // its name changes by itself: announced politely
    // Slider
    double value = 0.0;
    double minimum = 0.0;
    double maximum = 0.0;
    double smallChange = 0.0;
    double largeChange = 0.0;
    bool operator==(const AccessibleElement&) const = default;
};

// What a screen reader may ask of an element.
enum class AccessibleAction : std::uint8_t {
    Focus = 1,
    Invoke,   // Button
    Toggle,   // CheckBox
    Select,   // TabItem, RadioButton
    SetValue, // Slider
};

// What changed between two trees of the same window, for the events a listening screen reader
// gets: the focus moved, a switch flipped, a slider's value moved, a tab or mode was chosen.
struct AccessibleChange {
    enum class Kind { Focus, Toggle, Value, Selected };
    Kind kind = Kind::Focus;
    std::int32_t key = 0;
    double before = 0.0; // Toggle: 0 or 1; Value: the values
    double after = 0.0;
    bool operator==(const AccessibleChange&) const = default;
};
std::vector<AccessibleChange> accessibleChanges(const std::vector<AccessibleElement>& before,
                                                const std::vector<AccessibleElement>& after);
