#include "contract/canvas_contract.h"

namespace {

constexpr Color kClear = rgb(1, 2, 3);
constexpr Color kRed = rgb(200, 30, 40);
constexpr Color kBlue = rgb(20, 40, 220);
constexpr Color kGreen = rgb(30, 210, 60);

struct Probe {
    CanvasSurface& surface;
    ::testing::AssertionResult is(int x, int y, Color expected) {
        const std::optional<Color> got = surface.pixel(x, y);
        if (got && *got == expected)
            return ::testing::AssertionSuccess();
        ::testing::AssertionResult r = ::testing::AssertionFailure();
        r << "pixel (" << x << ", " << y << ") expected 0x" << std::hex << expected;
        if (got)
            r << " got 0x" << *got;
        else
            r << " got nothing";
        return r;
    }
};

} // namespace

TEST_P(CanvasContract, FillRectCoversExactlyItsPixels) {
    auto s = GetParam().make(100, 60, kClear);
    Probe p{*s};
    s->canvas().fillRect({10, 10, 30, 20}, kRed);
    EXPECT_TRUE(p.is(10, 10, kRed));
    EXPECT_TRUE(p.is(29, 19, kRed));
    EXPECT_TRUE(p.is(20, 15, kRed));
    EXPECT_TRUE(p.is(9, 10, kClear));
    EXPECT_TRUE(p.is(30, 10, kClear)) << "right edge is exclusive";
    EXPECT_TRUE(p.is(10, 9, kClear));
    EXPECT_TRUE(p.is(10, 20, kClear)) << "bottom edge is exclusive";

    // An empty or inverted rectangle draws nothing.
    s->canvas().fillRect({50, 40, 50, 50}, kBlue);
    s->canvas().fillRect({70, 40, 60, 30}, kBlue);
    EXPECT_TRUE(p.is(50, 45, kClear));
    EXPECT_TRUE(p.is(65, 35, kClear));
}

TEST_P(CanvasContract, RoundPanelHasItsBorderOnTheEdgesAndItsFillInside) {
    auto s = GetParam().make(100, 80, kClear);
    Probe p{*s};
    s->canvas().roundPanel({20, 20, 80, 60}, 10, kRed, kBlue);
    EXPECT_TRUE(p.is(50, 40, kRed));
    EXPECT_TRUE(p.is(50, 21, kRed));
    EXPECT_TRUE(p.is(21, 40, kRed));
    EXPECT_TRUE(p.is(50, 20, kBlue));
    EXPECT_TRUE(p.is(50, 59, kBlue));
    EXPECT_TRUE(p.is(20, 40, kBlue));
    EXPECT_TRUE(p.is(79, 40, kBlue));
    EXPECT_TRUE(p.is(50, 60, kClear));
    EXPECT_TRUE(p.is(80, 40, kClear));
    EXPECT_TRUE(p.is(50, 19, kClear));
    EXPECT_TRUE(p.is(19, 40, kClear));
}

TEST_P(CanvasContract, RoundPanelWithFillEqualToBorderIsOneSolidShape) {
    auto s = GetParam().make(100, 80, kClear);
    Probe p{*s};
    s->canvas().roundPanel({10, 10, 90, 40}, 20, kGreen, kGreen);
    for (int x : {30, 50, 70}) {
        EXPECT_TRUE(p.is(x, 10, kGreen));
        EXPECT_TRUE(p.is(x, 25, kGreen));
        EXPECT_TRUE(p.is(x, 39, kGreen));
        EXPECT_TRUE(p.is(x, 40, kClear));
    }
}

TEST_P(CanvasContract, EllipseFillsItsMiddleAndStaysInsideItsBox) {
    auto s = GetParam().make(60, 60, kClear);
    Probe p{*s};
    s->canvas().ellipse({10, 10, 40, 40}, kGreen, kBlue);
    EXPECT_TRUE(p.is(25, 25, kGreen));
    EXPECT_TRUE(p.is(9, 25, kClear));
    EXPECT_TRUE(p.is(40, 25, kClear));
    EXPECT_TRUE(p.is(25, 40, kClear));
}

TEST_P(CanvasContract, SolidLinesExcludeTheirEndPointAndHaveTheirWidth) {
    auto s = GetParam().make(100, 100, kClear);
    Probe p{*s};
    s->canvas().line({10, 20}, {90, 20}, kRed, 1, false);
    EXPECT_TRUE(p.is(10, 20, kRed));
    EXPECT_TRUE(p.is(50, 20, kRed));
    EXPECT_TRUE(p.is(89, 20, kRed));
    EXPECT_TRUE(p.is(90, 20, kClear));
    EXPECT_TRUE(p.is(50, 19, kClear));
    EXPECT_TRUE(p.is(50, 21, kClear));

    s->canvas().line({5, 30}, {5, 80}, kBlue, 1, false);
    EXPECT_TRUE(p.is(5, 30, kBlue));
    EXPECT_TRUE(p.is(5, 79, kBlue));
    EXPECT_TRUE(p.is(5, 80, kClear));
    EXPECT_TRUE(p.is(4, 50, kClear));

    s->canvas().line({20, 60}, {80, 60}, kGreen, 3, false);
    EXPECT_TRUE(p.is(50, 59, kGreen));
    EXPECT_TRUE(p.is(50, 60, kGreen));
    EXPECT_TRUE(p.is(50, 61, kGreen));
    EXPECT_TRUE(p.is(50, 57, kClear));
    EXPECT_TRUE(p.is(50, 63, kClear));
}

TEST_P(CanvasContract, DottedLineLeavesGapsThatKeepTheBackground) {
    auto s = GetParam().make(100, 40, kClear);
    Probe p{*s};
    s->canvas().beginPaint();
    s->canvas().line({10, 20}, {90, 20}, kRed, 1, true);
    s->canvas().endPaint();
    int on = 0, off = 0;
    for (int x = 12; x < 88; ++x) {
        const std::optional<Color> c = s->pixel(x, 20);
        ASSERT_TRUE(c.has_value());
        if (*c == kRed)
            ++on;
        else if (*c == kClear)
            ++off;
        else
            ADD_FAILURE() << "pixel " << x << " is neither line nor background";
    }
    EXPECT_GT(on, 76 / 5);
    EXPECT_GT(off, 76 / 5);
    EXPECT_TRUE(p.is(50, 19, kClear));
    EXPECT_TRUE(p.is(50, 21, kClear));
}

TEST_P(CanvasContract, PolylineJoinsItsPointsInOrder) {
    auto s = GetParam().make(100, 100, kClear);
    Probe p{*s};
    const Point points[] = {{10, 10}, {60, 10}, {60, 70}};
    s->canvas().polyline(points, 3, kBlue, 3);
    EXPECT_TRUE(p.is(30, 10, kBlue));
    EXPECT_TRUE(p.is(30, 11, kBlue));
    EXPECT_TRUE(p.is(60, 40, kBlue));
    EXPECT_TRUE(p.is(61, 40, kBlue));
    EXPECT_TRUE(p.is(30, 14, kClear));
    EXPECT_TRUE(p.is(56, 40, kClear));
    EXPECT_TRUE(p.is(64, 40, kClear));
    // Not closed: nothing on the diagonal back to the start.
    EXPECT_TRUE(p.is(35, 40, kClear));

    // Fewer than two points draw nothing and do not fail.
    s->canvas().polyline(points, 1, kRed, 3);
    s->canvas().polyline(nullptr, 0, kRed, 3);
    EXPECT_TRUE(p.is(30, 10, kBlue));
    EXPECT_TRUE(p.is(30, 14, kClear));
}

TEST_P(CanvasContract, TextInARectangleStaysInsideIt) {
    auto s = GetParam().make(200, 100, kClear);
    Probe p{*s};
    Canvas& c = s->canvas();
    c.beginPaint();
    const Rect box{40, 30, 120, 44};
    for (TextAlign align :
         {TextAlign::Center, TextAlign::LeftVCenter, TextAlign::Right, TextAlign::RightEllipsis})
        c.textIn(box, L"WWWWWWWWWWWWWWWWWWWWWWWWWWWWWW", Font::FontBig, kRed, align);
    c.endPaint();
    for (int x = 30; x < 130; ++x) {
        EXPECT_TRUE(p.is(x, 28, kClear));
        EXPECT_TRUE(p.is(x, 45, kClear));
    }
    for (int y = 30; y < 44; ++y) {
        EXPECT_TRUE(p.is(38, y, kClear));
        EXPECT_TRUE(p.is(121, y, kClear));
    }
}

TEST_P(CanvasContract, TextHasATransparentBackgroundDuringAPaint) {
    auto s = GetParam().make(200, 100, kClear);
    Probe p{*s};
    Canvas& c = s->canvas();
    c.beginPaint();
    c.fillRect({0, 0, 200, 100}, kGreen);
    // Blanks draw no glyph pixels; an opaque background would paint their cells.
    c.textAt(20, 20, L"          ", Font::FontBig, kRed);
    c.textIn({20, 60, 180, 90}, L"          ", Font::FontBold, kRed, TextAlign::Center);
    c.endPaint();
    for (int x = 20; x < 120; x += 5) {
        EXPECT_TRUE(p.is(x, 30, kGreen));
        EXPECT_TRUE(p.is(x, 75, kGreen));
    }
}

TEST_P(CanvasContract, TextAtStartsAtItsTopLeftCorner) {
    auto s = GetParam().make(200, 100, kClear);
    Probe p{*s};
    Canvas& c = s->canvas();
    c.beginPaint();
    c.textAt(60, 40, L"HHHH", Font::FontBig, kRed);
    c.textAt(60, 40, L"", Font::FontMono, kRed);
    c.endPaint();
    for (int x = 40; x < 160; ++x)
        EXPECT_TRUE(p.is(x, 36, kClear));
    for (int y = 40; y < 80; ++y)
        EXPECT_TRUE(p.is(56, y, kClear));
}

TEST_P(CanvasContract, PaintsCanFollowEachOtherAndShapesNeedNoPaint) {
    auto s = GetParam().make(60, 60, kClear);
    Probe p{*s};
    Canvas& c = s->canvas();
    for (int i = 0; i < 3; ++i) {
        c.beginPaint();
        c.textAt(5, 5, L"x", Font::FontSmall, kRed);
        c.endPaint();
    }
    c.endPaint(); // a second end is harmless
    c.fillRect({10, 10, 20, 20}, kBlue);
    c.roundPanel({30, 30, 50, 50}, 4, kGreen, kGreen);
    EXPECT_TRUE(p.is(15, 15, kBlue));
    EXPECT_TRUE(p.is(40, 40, kGreen));
}

TEST_P(CanvasContract, MeasuredTextBoundsItsInkAndGrowsWithTextAndFont) {
    auto s = GetParam().make(400, 120, kClear);
    Canvas& c = s->canvas();
    // Measuring works before any paint, and nothing is drawn by it.
    const TextSize word = c.measureText(L"Drehzahl", Font::FontBold);
    EXPECT_EQ(c.measureText(L"", Font::FontBold).width, 0);
    EXPECT_GT(word.width, 0);
    for (int f = 0; f < FONT_COUNT; ++f) {
        const Font font = static_cast<Font>(f);
        const TextSize one = c.measureText(L"Lüfter 2", font);
        const TextSize two = c.measureText(L"Lüfter 2Lüfter 2", font);
        SCOPED_TRACE(f);
        EXPECT_GE(one.height, FONT_DEFINITIONS[f].pixelSize);
        EXPECT_LE(one.height, 2 * FONT_DEFINITIONS[f].pixelSize);
        EXPECT_NEAR(two.width, 2 * one.width, 2);
    }
    EXPECT_GT(c.measureText(L"Drehzahl", Font::FontBig).width, word.width);
    EXPECT_LT(c.measureText(L"Drehzahl", Font::FontBoldMin).width, word.width);

    c.beginPaint();
    const wchar_t* text = L"Manuelle Drehzahl-Vorgabe: Wg";
    const TextSize size = c.measureText(text, Font::FontBig);
    c.textAt(10, 20, text, Font::FontBig, kRed);
    c.endPaint();
    Probe p{*s};
    for (int x = 0; x < 400; x += 3) {
        if (x < 10 || x >= 10 + size.width) {
            for (int y = 20; y < 20 + size.height; y += 2)
                EXPECT_TRUE(p.is(x, y, kClear));
        }
        EXPECT_TRUE(p.is(x, 19, kClear));
        EXPECT_TRUE(p.is(x, 20 + size.height, kClear));
    }
}
