#pragma once

#include "app/app_state.h"
#include "platform/accessibility.h"
#include "platform/canvas.h"

#include <cstdint>
#include <vector>

// The window read instead of seen: the automation tree a screen reader walks, what it may ask of
// an element, and the tooltips that show a cut text whole. Each reads the page afresh with
// measurer, the canvas the paint measures with; none of it runs while nobody asks.

// The tree of the window as it stands; client is the client area in layout pixels.
std::vector<AccessibleElement> readAccessibleTree(AppState& app, Canvas& measurer,
                                                  const Rect& client);

// A screen reader's request on the element of key, carried out as the keyboard or a click would
// (value: a slider's new value). False when the element does not exist or cannot do it.
bool performAccessibleAction(AppState& app, std::int32_t key, AccessibleAction action,
                             double value);

// The pointer rested at (x, y): a text there that is shown cut gets a tooltip with all of it.
void onPointerRest(AppState& app, Canvas& measurer, const Rect& client, int x, int y);
// The pointer moved to (x, y) or left the window (outside): the tooltip goes once the pointer
// is off its text.
void onPointerAway(AppState& app, int x, int y, bool outside);
