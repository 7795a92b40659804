#pragma once

#include "base/texts.h"
#include "ui/hit_region.h"
#include "ui/window_model.h"

#include <cstdint>

// Every control the window paints, by the region id its painter records: what it is, the name
// screen readers and test tools know it by, and its caption. The keyboard's focus order and the
// automation tree are made from the painted regions with this table, so a new switch or button
// needs one entry here (and its painter and click action) to be reachable without a mouse.
enum class ControlRole {
    TabItem,    // an entry of the sidebar's tab list: one focus stop for the whole list
    ModeButton, // a mode button: one focus stop for the whole group
    Slider,     // a fan's manual speed
    Switch,     // on/off; Space toggles it
    Button,     // Space or Enter presses it
    CurveChart, // the curve editor: a focus stop for each of its four points
};

struct ControlInfo {
    std::int32_t region;
    ControlRole role;
    const wchar_t* automationId;
    // What the control shows; NO_CAPTION where the model names it (the modes, the sliders).
    TextId caption;
    // A switch's state; null for the other roles.
    bool (*on)(const WindowModel& model);
    // What a button shows on its face when that is a value (a mode chosen); null for none.
    const wchar_t* (*shows)(const WindowModel& model);
};

inline constexpr TextId NO_CAPTION = TextId::Count;

// The entry of a region id; null for a region that is no control.
const ControlInfo* controlInfo(std::int32_t region);
// A control's caption in the language of the moment; null for a control without one.
const wchar_t* captionOf(const ControlInfo& control);
// The caption of a region's control; an empty text for a region without one.
const wchar_t* controlCaption(std::int32_t region);
// What the language button shows for a choice.
const wchar_t* languageChoiceName(LanguageChoice choice);

// The sidebar's six tabs.
inline constexpr int TAB_COUNT = 6;
inline constexpr int MODE_COUNT = 6;
