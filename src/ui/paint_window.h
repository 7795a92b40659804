#pragma once

#include "base/rect.h"
#include "platform/canvas.h"
#include "ui/ui_state.h"
#include "ui/window_model.h"

// Draws the whole client area (sidebar, header, notice, the active tab) of model and rebuilds
// ui.hitRegions. client is the client rectangle; the canvas draws into a bitmap of its size.
// Called once per WM_PAINT.
void paintWindow(Canvas& canvas, const Rect& client, UiState& ui, const WindowModel& model);

// The width of the content cards: client width - 261, never below 320.
int contentWidth(const Rect& client);
