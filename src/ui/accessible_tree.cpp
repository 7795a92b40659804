#include "ui/accessible_tree.h"

#include "base/texts.h"
#include "regulation/control_modes.h"
#include "ui/controls.h"
#include "ui/curve_geometry.h"

#include <algorithm>
#include <cstddef>

namespace {

constexpr int kPointBox = 9; // a curve point's element: the drawn point with room around it

Rect unite(const Rect& a, const Rect& b) {
    if (a.width() <= 0 || a.height() <= 0)
        return b;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

std::int32_t regionKey(std::int32_t region, std::int32_t arg) {
    return region * 16 + arg;
}

// Whether a text is the caption of a control that already carries it as its name.
bool isCaptionOf(const ShownText& text, const std::vector<HitRegion>& regions) {
    const int x = text.box.left + text.box.width() / 2;
    const int y = text.box.top + text.box.height() / 2;
    for (const HitRegion& r : regions) {
        const ControlInfo* c = controlInfo(r.id);
        if (c == nullptr)
            continue;
        // A switch's label, or a button's beside it, is already its name.
        const bool named = c->role == ControlRole::Switch || c->role == ControlRole::Button;
        const wchar_t* caption = captionOf(*c);
        if (named && caption != nullptr && text.text == caption)
            return true;
        const bool captioned = c->role == ControlRole::Button || c->role == ControlRole::TabItem ||
                               c->role == ControlRole::ModeButton;
        if (captioned && r.bounds.contains(x, y))
            return true;
    }
    return false;
}

class TreeBuilder {
public:
    TreeBuilder(const UiState& ui, const WindowModel& model) : ui_(ui), model_(model) {}

    void addText(const ShownText& text, int ordinal, const PageReading& page) {
        int parent = -1;
        if (text.group >= 0) {
            auto at = liveGroups_.find(text.group);
            if (at == liveGroups_.end()) {
                AccessibleElement g;
                g.role = AccessibleRole::Group;
                g.key = KEY_LIVE_FIRST + text.group;
                g.name = page.groups[static_cast<std::size_t>(text.group)];
                g.automationId = g.name == ::text(TextId::NoticeName) ? L"notice" : L"liveStatus";
                g.live = true;
                liveNames_[text.group] = {};
                at = liveGroups_.emplace(text.group, push(std::move(g))).first;
            }
            parent = at->second;
            AccessibleElement& g = tree_[static_cast<std::size_t>(parent)];
            g.bounds = unite(g.bounds, text.box);
            std::wstring& joined = liveNames_[text.group];
            joined += (joined.empty() ? L"" : L", ") + text.text;
            g.name = joined;
        }
        AccessibleElement e;
        e.role = AccessibleRole::Text;
        e.key = TEXT_KEY_FIRST + ordinal;
        e.parent = parent;
        e.name = text.text;
        e.bounds = text.box;
        push(std::move(e));
    }

    void addRegion(const HitRegion& r) {
        const ControlInfo* c = controlInfo(r.id);
        if (c == nullptr)
            return;
        switch (c->role) {
        case ControlRole::TabItem:
            addTab(r, *c);
            break;
        case ControlRole::ModeButton:
            addMode(r, *c);
            break;
        case ControlRole::Slider:
            addSlider(r, *c);
            break;
        case ControlRole::Switch:
        case ControlRole::Button: {
            AccessibleElement e = control(r, *c);
            e.role =
                c->role == ControlRole::Switch ? AccessibleRole::CheckBox : AccessibleRole::Button;
            const wchar_t* caption = captionOf(*c);
            e.name = caption != nullptr ? caption : L"";
            if (c->shows != nullptr)
                e.name += std::wstring(L": ") + c->shows(model_);
            e.toggled = c->on != nullptr && c->on(model_);
            push(std::move(e));
            break;
        }
        case ControlRole::CurveChart:
            addCurvePoints(r, *c);
            break;
        }
    }

    std::vector<AccessibleElement> take() { return std::move(tree_); }

private:
    int push(AccessibleElement e) {
        tree_.push_back(std::move(e));
        return static_cast<int>(tree_.size()) - 1;
    }

    bool hasFocus(std::int32_t id, std::int32_t arg) const {
        return ui_.windowFocused && ui_.focus.id == id && ui_.focus.arg == arg;
    }

    AccessibleElement control(const HitRegion& r, const ControlInfo& c) const {
        AccessibleElement e;
        e.key = regionKey(r.id, r.arg);
        e.automationId = c.automationId;
        e.bounds = r.bounds;
        e.focusable = true;
        e.focused = hasFocus(r.id, r.arg);
        return e;
    }

    int group(int& index, std::int32_t key, AccessibleRole role, const wchar_t* id,
              const wchar_t* name) {
        if (index < 0) {
            AccessibleElement g;
            g.role = role;
            g.key = key;
            g.automationId = id;
            g.name = name;
            index = push(std::move(g));
        }
        return index;
    }

    void addTab(const HitRegion& r, const ControlInfo& c) {
        const int parent = group(tabList_, KEY_TAB_LIST, AccessibleRole::TabList, L"tabs",
                                 text(TextId::TabListName));
        AccessibleElement e = control(r, c);
        e.role = AccessibleRole::TabItem;
        e.parent = parent;
        e.name = captionOf(c);
        e.selected = r.arg == ui_.activeTab;
        e.focused = ui_.windowFocused && ui_.focus.id == REGION_TAB_FIRST && e.selected;
        AccessibleElement& list = tree_[static_cast<std::size_t>(parent)];
        list.bounds = unite(list.bounds, r.bounds);
        push(std::move(e));
    }

    void addMode(const HitRegion& r, const ControlInfo& c) {
        const int parent = group(modeGroup_, KEY_MODE_GROUP, AccessibleRole::Group, L"modes",
                                 text(TextId::ModeGroupName));
        AccessibleElement e = control(r, c);
        e.role = AccessibleRole::RadioButton;
        e.parent = parent;
        e.name = controlModeName(static_cast<ControlMode>(r.arg));
        e.selected = static_cast<std::int32_t>(model_.settings.mode) == r.arg;
        e.focused =
            ui_.windowFocused && ui_.focus.id == REGION_MODE_FIRST && ui_.focus.arg == r.arg;
        AccessibleElement& g = tree_[static_cast<std::size_t>(parent)];
        g.bounds = unite(g.bounds, r.bounds);
        push(std::move(e));
    }

    void addSlider(const HitRegion& r, const ControlInfo& c) {
        const auto& fans = model_.readings().fanList;
        const auto k = static_cast<std::size_t>(r.arg);
        if (k >= fans.size() || k >= model_.settings.manualRpm.size())
            return;
        AccessibleElement e = control(r, c);
        e.role = AccessibleRole::Slider;
        e.name = fans[k].label + text(TextId::ManualSpeedName);
        e.value = model_.settings.manualRpm[k];
        e.minimum = fans[k].minRpm;
        e.maximum = std::max(fans[k].minRpm, fans[k].maxRpm);
        e.smallChange = 50.0;
        e.largeChange = 500.0;
        push(std::move(e));
    }

    void addCurvePoints(const HitRegion& r, const ControlInfo& c) {
        for (int j = 0; j < 4; ++j) {
            const CurvePoint& point = model_.settings.curve[static_cast<std::size_t>(j)];
            const Point p = curvePointPixel(point, ui_.chartRect);
            for (int part = 0; part < 2; ++part) {
                AccessibleElement e;
                e.role = AccessibleRole::Slider;
                e.key = regionKey(r.id, 2 * j + part);
                const std::wstring n = std::to_wstring(j + 1);
                e.automationId = std::wstring(c.automationId) + L".p" + n +
                                 (part == 0 ? L".temperature" : L".level");
                e.name = L"P" + n +
                         text(part == 0 ? TextId::CurvePointTemperature : TextId::CurvePointLevel);
                e.bounds = {p.x - kPointBox, p.y - kPointBox, p.x + kPointBox + 1,
                            p.y + kPointBox + 1};
                e.focusable = true;
                // The point has the focus; its temperature speaks for it.
                e.focused = part == 0 && hasFocus(r.id, j);
                e.value = part == 0 ? point.temperature : point.level;
                e.minimum = part == 0 ? 35.0 : 0.0;
                e.maximum = part == 0 ? 95.0 : 100.0;
                e.smallChange = 1.0;
                e.largeChange = 5.0;
                push(std::move(e));
            }
        }
    }

    const UiState& ui_;
    const WindowModel& model_;
    std::vector<AccessibleElement> tree_;
    int tabList_ = -1;
    int modeGroup_ = -1;
    std::map<int, int> liveGroups_;
    std::map<int, std::wstring> liveNames_;
};

} // namespace

std::vector<AccessibleElement> accessibleTree(const UiState& ui, const WindowModel& model,
                                              const PageReading& page) {
    TreeBuilder builder(ui, model);
    const std::vector<HitRegion>& regions = ui.hitRegions;
    std::size_t t = 0;
    int ordinal = 0;
    auto textsUpTo = [&](std::size_t regionIndex) {
        for (; t < page.texts.size() &&
               static_cast<std::size_t>(page.texts[t].regionsBefore) <= regionIndex;
             ++t) {
            if (!isCaptionOf(page.texts[t], regions))
                builder.addText(page.texts[t], ordinal, page);
            ++ordinal;
        }
    };
    for (std::size_t i = 0; i < regions.size(); ++i) {
        textsUpTo(i);
        builder.addRegion(regions[i]);
    }
    textsUpTo(regions.size());
    return builder.take();
}

ControlKey controlOfKey(std::int32_t key) {
    if (key < 16 || key >= TEXT_KEY_FIRST)
        return {};
    return {key / 16, key % 16};
}

std::vector<std::int32_t> LiveAnnouncements::due(const std::vector<AccessibleElement>& tree,
                                                 std::int64_t nowMs) {
    std::vector<std::int32_t> keys;
    for (const AccessibleElement& e : tree) {
        if (!e.live)
            continue;
        auto at = announced_.find(e.key);
        if (at == announced_.end()) {
            // Known from now on: what a reader finds the first time is not news.
            announced_[e.key] = {e.name, nowMs};
            continue;
        }
        if (at->second.name != e.name && nowMs - at->second.atMs >= intervalMs_) {
            at->second = {e.name, nowMs};
            keys.push_back(e.key);
        }
    }
    return keys;
}
