#include "dib_surface.h"
#include "platform/win32/gdi_canvas.h"
#include "platform/win32/gdi_font_set.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 60;

// The width of the inked columns: how much text was drawn, whatever the glyphs look like.
int inkWidth(const std::function<void(Canvas&)>& draw) {
    DibSurface dib(kWidth, kHeight, 0);
    if (!dib.valid())
        return -1;
    {
        GdiCanvas canvas(dib.dc());
        canvas.beginPaint();
        draw(canvas);
        canvas.endPaint();
    }
    int left = kWidth, right = -1;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            if (dib.pixel(x, y) != Color{0}) {
                left = x < left ? x : left;
                right = x > right ? x : right;
            }
    return right < 0 ? 0 : right - left + 1;
}

} // namespace

TEST(GdiText, AmpersandsInARectangleAreDrawnAsWritten) {
    // "&&" would collapse to one "&" if the text were taken as a menu caption with mnemonics.
    const wchar_t* text = L"&&&&&&";
    const int plain = inkWidth([&](Canvas& c) { c.textAt(10, 10, text, Font::FontBig, 0xFFFFFF); });
    ASSERT_GT(plain, 0);
    for (TextAlign align :
         {TextAlign::Center, TextAlign::LeftVCenter, TextAlign::Right, TextAlign::RightEllipsis}) {
        const int boxed = inkWidth([&](Canvas& c) {
            c.textIn({0, 0, kWidth, kHeight}, text, Font::FontBig, 0xFFFFFF, align);
        });
        EXPECT_NEAR(boxed, plain, 2) << static_cast<int>(align);
    }
}

TEST(GdiText, RememberedSizesAreThoseOfTheCurrentScale) {
    DibSurface dib(kWidth, kHeight, 0);
    ASSERT_TRUE(dib.valid());
    const wchar_t* text = L"Lüfter-Schieberegler synchron koppeln";
    const auto fresh = [&](float scale) {
        GdiFontSet own;
        GdiCanvas canvas(dib.dc(), own, scale);
        return canvas.measureText(text, Font::FontBody);
    };
    // One set of fonts kept across paints, as the window keeps it, with the scale changing.
    GdiFontSet kept;
    for (const float scale : {1.0f, 1.5f, 1.0f, 1.25f}) {
        GdiCanvas canvas(dib.dc(), kept, scale);
        const TextSize first = canvas.measureText(text, Font::FontBody);
        EXPECT_EQ(first, fresh(scale)) << scale;
        EXPECT_EQ(canvas.measureText(text, Font::FontBody), first) << scale;
        EXPECT_NE(canvas.measureText(text, Font::FontBold), first) << scale;
    }
}
