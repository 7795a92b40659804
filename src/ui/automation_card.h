#pragma once

#include "platform/canvas.h"
#include "ui/tab_painters.h"
#include "ui/ui_state.h"
#include "ui/window_model.h"

// The card below the options on the options tab: the modes by power source and the
// measurement log. Paints it from top on and returns its bottom.
int paintAutomationCard(Canvas& canvas, const ContentLayout& layout, UiState& ui,
                        const WindowModel& model, int top);
