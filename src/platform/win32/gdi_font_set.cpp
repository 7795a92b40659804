#include "platform/win32/gdi_font_set.h"

#include <cmath>

GdiFontSet::~GdiFontSet() {
    release();
}

void GdiFontSet::release() {
    for (HFONT& font : fonts_) {
        if (font)
            DeleteObject(font);
        font = nullptr;
    }
    sizes_.clear();
    scale_ = 0.0f;
}

void GdiFontSet::prepare(float scale) {
    if (scale_ == scale && fonts_[0] != nullptr)
        return;
    release();
    for (int i = 0; i < FONT_COUNT; ++i) {
        const FontDefinition& font = FONT_DEFINITIONS[i];
        const int pixels =
            static_cast<int>(std::lround(static_cast<float>(font.pixelSize) * scale));
        fonts_[i] =
            CreateFontW(-pixels, 0, 0, 0, font.weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                        (font.fixedPitch ? FIXED_PITCH : VARIABLE_PITCH) | FF_DONTCARE, font.face);
    }
    scale_ = scale;
}

HFONT GdiFontSet::font(Font font) const {
    const int i = static_cast<int>(font);
    return i >= 0 && i < FONT_COUNT ? fonts_[i] : nullptr;
}
