#pragma once

#include "base/rect.h"
#include "platform/canvas.h"
#include "ui/ui_state.h"
#include "ui/window_model.h"

#include <string>
#include <utility>
#include <vector>

// The window read as text instead of pixels: every text a paint draws, whole, where it stands.
// Made on demand (a screen reader asks, the pointer rests on a text), never by a normal paint.
struct ShownText {
    Rect box;              // what its lines cover, in client pixels
    std::wstring text;     // whole: a text cut to fit and a wrapped paragraph count as one
    bool cut = false;      // it ends in "…" on the screen
    int group = -1;        // the live group it belongs to (PageReading::groups), -1 for none
    int regionsBefore = 0; // the regions the paint had recorded when it drew the text
    bool operator==(const ShownText&) const = default;
};

struct PageReading {
    std::vector<ShownText> texts;     // in drawing order
    std::vector<std::wstring> groups; // the names of the live groups, in drawing order
};

// Reads one paint: a canvas that draws nothing and keeps the texts and what the painters say
// about them. Text is measured by measurer, the canvas the real paint measures with, so every
// layout decision comes out as on the screen.
class ReadingCanvas final : public Canvas {
public:
    // regions: the list the paint records its regions in, to tell texts and controls' order.
    ReadingCanvas(Canvas& measurer, const std::vector<HitRegion>* regions = nullptr)
        : measurer_(measurer), regions_(regions) {}
    PageReading reading;

    void beginPaint() override {}
    void endPaint() override {}
    void fillRect(const Rect&, Color) override {}
    void roundPanel(const Rect&, int, Color, Color) override {}
    void ellipse(const Rect&, Color, Color) override {}
    void line(Point, Point, Color, int, bool) override {}
    void polyline(const Point*, std::size_t, Color, int) override {}
    void textAt(int x, int y, std::wstring_view text, Font font, Color color) override;
    void textIn(const Rect& rect, std::wstring_view text, Font font, Color color,
                TextAlign align) override;
    TextSize measureText(std::wstring_view text, Font font) override;
    void textCut(std::wstring_view shown, std::wstring_view whole) override;
    void paragraph(std::wstring_view whole, int lines) override;
    void liveBegin(std::wstring_view name) override;
    void liveEnd() override;

private:
    void add(const Rect& box, std::wstring_view shown);

    Canvas& measurer_;
    const std::vector<HitRegion>* regions_;
    std::vector<std::pair<std::wstring, std::wstring>> cuts_; // shown, whole: not drawn yet
    std::wstring paragraph_;
    int paragraphLines_ = 0; // lines of the paragraph still to come
    bool paragraphStarted_ = false;
    int group_ = -1;
};

// Paints the window into a ReadingCanvas; ui's regions come out as the paint's.
PageReading readPage(Canvas& measurer, const Rect& client, UiState& ui, const WindowModel& model);

// The text shown cut under (x, y), the one drawn last where several overlap; null for none.
const ShownText* cutTextAt(const PageReading& page, int x, int y);
