#pragma once

#include "platform/canvas.h"
#include "platform/text_size_cache.h"

#include <windows.h>

// The window's fonts at one scale. Made on the first use and again only when the scale
// changes, so that a paint creates no font; deleted by the destructor. Whoever draws with them
// must have deselected them by then (GdiCanvas does after every text call).
class GdiFontSet {
public:
    GdiFontSet() = default;
    ~GdiFontSet();
    GdiFontSet(const GdiFontSet&) = delete;
    GdiFontSet& operator=(const GdiFontSet&) = delete;

    // Makes the fonts for scale unless they exist for it already.
    void prepare(float scale);
    // Null before prepare or when CreateFontW failed.
    HFONT font(Font font) const;
    // Deletes the fonts; the next prepare makes them again.
    void release();
    // What texts measured in these fonts; emptied with them.
    TextSizeCache& sizes() { return sizes_; }

private:
    HFONT fonts_[FONT_COUNT] = {};
    TextSizeCache sizes_;
    float scale_ = 0.0f;
};
