#pragma once

#include "base/rect.h"
#include "hardware/hardware_records.h"
#include "platform/canvas.h"
#include "ui/ui_state.h"

#include <vector>

// The dashboard's chart of the last five minutes in card: CPU and GPU temperature on the left
// axis (°C), each fan's measured speed on the right axis (RPM), with gridlines, axis labels, a
// legend and a time axis, from ui.history (whose lines it keeps in ui.historyLines). Returns the
// plot area (where the lines are drawn).
Rect paintHistoryCard(Canvas& canvas, const Rect& card, UiState& ui,
                      const std::vector<FanChannel>& fans);

// The plot's fixed scales: 20..100 °C, and 0 to the largest fan maximum rounded up to 2000 RPM,
// so that the quarter lines fall on round numbers of both.
inline constexpr double HISTORY_MIN_CELSIUS = 20.0;
inline constexpr double HISTORY_MAX_CELSIUS = 100.0;
double historyRpmTop(const std::vector<FanChannel>& fans);

// Where the lines go inside card: fixed margins for the axis labels, title and time axis.
// A sample of age a (0 the newest) lies at x = right - 1 - round(a * (width - 1) / 299); a
// fraction f of an axis at y = bottom - 1 - round(f * (height - 1)).
Rect historyPlotRect(const Rect& card);
