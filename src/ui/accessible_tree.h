#pragma once

#include "platform/accessibility.h"
#include "ui/page_reading.h"
#include "ui/ui_state.h"
#include "ui/window_model.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// The automation tree of the page last read: the tab list with its tabs, the mode group with its
// modes, the page's controls (from the painted regions and the control table) and every text
// the page shows, in drawing order; the live status and the notice are live groups of their
// texts. A control's caption is its name, not a text of its own.
std::vector<AccessibleElement> accessibleTree(const UiState& ui, const WindowModel& model,
                                              const PageReading& page);

// Keys: a control by its region, region * 16 + arg (a curve point j's temperature 2j, its level
// 2j + 1); the two groups of the frame and the live groups fixed below; texts from
// TEXT_KEY_FIRST on, in drawing order.
inline constexpr std::int32_t KEY_TAB_LIST = 1;
inline constexpr std::int32_t KEY_MODE_GROUP = 2;
inline constexpr std::int32_t KEY_LIVE_FIRST = 3;
inline constexpr std::int32_t TEXT_KEY_FIRST = 1000000;

struct ControlKey {
    std::int32_t region = 0; // 0: no control
    std::int32_t arg = 0;
};
ControlKey controlOfKey(std::int32_t key);

// Live groups are announced when their text changed, but not more often than every interval:
// a reading that changes every second would leave the user no quiet moment.
class LiveAnnouncements {
public:
    explicit LiveAnnouncements(std::int64_t intervalMs) : intervalMs_(intervalMs) {}
    // The keys of the live groups of tree to announce now.
    std::vector<std::int32_t> due(const std::vector<AccessibleElement>& tree, std::int64_t nowMs);

private:
    struct Announced {
        std::wstring name;
        std::int64_t atMs = 0;
    };
    std::int64_t intervalMs_;
    std::map<std::int32_t, Announced> announced_;
};
inline constexpr std::int64_t LIVE_ANNOUNCE_INTERVAL_MS = 5000;
