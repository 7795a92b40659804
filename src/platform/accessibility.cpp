#include "platform/accessibility.h"

#include <algorithm>

std::vector<AccessibleChange> accessibleChanges(const std::vector<AccessibleElement>& before,
                                                const std::vector<AccessibleElement>& after) {
    using Kind = AccessibleChange::Kind;
    std::vector<AccessibleChange> changes;
    if (before.empty())
        return changes; // the first tree a reader gets tells of no change
    std::int32_t focusedBefore = 0, focusedAfter = 0;
    for (const AccessibleElement& e : before)
        if (e.focused)
            focusedBefore = e.key;
    for (const AccessibleElement& e : after) {
        if (e.focused)
            focusedAfter = e.key;
        const auto old = std::find_if(before.begin(), before.end(),
                                      [&](const AccessibleElement& b) { return b.key == e.key; });
        if (old == before.end() || old->role != e.role)
            continue; // new on the page: nothing changed about it
        if (e.role == AccessibleRole::CheckBox && old->toggled != e.toggled)
            changes.push_back(
                {Kind::Toggle, e.key, old->toggled ? 1.0 : 0.0, e.toggled ? 1.0 : 0.0});
        if (e.role == AccessibleRole::Slider && old->value != e.value)
            changes.push_back({Kind::Value, e.key, old->value, e.value});
        if (e.selected && !old->selected)
            changes.push_back({Kind::Selected, e.key, 0.0, 1.0});
    }
    if (focusedAfter != 0 && focusedAfter != focusedBefore)
        changes.push_back({Kind::Focus, focusedAfter, 0.0, 0.0});
    return changes;
}
