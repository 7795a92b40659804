#include "ui/page_reading.h"

#include "ui/paint_window.h"

#include <algorithm>

namespace {

Rect unite(const Rect& a, const Rect& b) {
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

// Where text placed in rect by align lies; GDI clips it to rect.
Rect placedIn(const Rect& r, TextSize size, TextAlign align) {
    const int midY = r.top + (r.height() - size.height) / 2;
    Rect box;
    switch (align) {
    case TextAlign::Center: {
        const int x = r.left + (r.width() - size.width) / 2;
        box = {x, midY, x + size.width, midY + size.height};
        break;
    }
    case TextAlign::LeftVCenter:
        box = {r.left, midY, r.left + size.width, midY + size.height};
        break;
    case TextAlign::Right:
    case TextAlign::RightEllipsis:
        box = {r.right - size.width, r.top, r.right, r.top + size.height};
        break;
    }
    return {std::max(box.left, r.left), std::max(box.top, r.top), std::min(box.right, r.right),
            std::min(box.bottom, r.bottom)};
}

} // namespace

void ReadingCanvas::textAt(int x, int y, std::wstring_view text, Font font, Color) {
    const TextSize size = measurer_.measureText(text, font);
    add({x, y, x + size.width, y + size.height}, text);
}

void ReadingCanvas::textIn(const Rect& rect, std::wstring_view text, Font font, Color,
                           TextAlign align) {
    add(placedIn(rect, measurer_.measureText(text, font), align), text);
}

TextSize ReadingCanvas::measureText(std::wstring_view text, Font font) {
    return measurer_.measureText(text, font);
}

void ReadingCanvas::textCut(std::wstring_view shown, std::wstring_view whole) {
    // Said again before it was drawn: the later word holds (a caller that cut a text twice).
    for (auto& cut : cuts_) {
        if (cut.first == shown) {
            cut.second.assign(whole);
            return;
        }
    }
    cuts_.emplace_back(std::wstring(shown), std::wstring(whole));
}

void ReadingCanvas::paragraph(std::wstring_view whole, int lines) {
    paragraph_.assign(whole);
    paragraphLines_ = lines;
    paragraphStarted_ = false;
}

void ReadingCanvas::liveBegin(std::wstring_view name) {
    reading.groups.emplace_back(name);
    group_ = static_cast<int>(reading.groups.size()) - 1;
}

void ReadingCanvas::liveEnd() {
    group_ = -1;
}

void ReadingCanvas::add(const Rect& box, std::wstring_view shown) {
    if (shown.empty())
        return;
    bool cut = false;
    std::wstring whole(shown);
    const auto match = std::find_if(cuts_.begin(), cuts_.end(),
                                    [shown](const auto& c) { return c.first == shown; });
    if (match != cuts_.end()) {
        cut = true;
        whole = std::move(match->second);
        cuts_.erase(match);
    }
    if (paragraphLines_ > 0) {
        --paragraphLines_;
        if (paragraphStarted_) {
            ShownText& p = reading.texts.back();
            p.box = unite(p.box, box);
            p.cut = p.cut || cut;
            return;
        }
        paragraphStarted_ = true;
        whole = paragraph_;
    }
    const int before = regions_ != nullptr ? static_cast<int>(regions_->size()) : 0;
    reading.texts.push_back({box, std::move(whole), cut, group_, before});
}

PageReading readPage(Canvas& measurer, const Rect& client, UiState& ui, const WindowModel& model) {
    ReadingCanvas reader(measurer, &ui.hitRegions);
    paintWindow(reader, client, ui, model);
    return std::move(reader.reading);
}

const ShownText* cutTextAt(const PageReading& page, int x, int y) {
    for (auto it = page.texts.rbegin(); it != page.texts.rend(); ++it)
        if (it->cut && it->box.contains(x, y))
            return &*it;
    return nullptr;
}
