#include "fakes/platform_fixture.h"
#include "fakes/recording_canvas.h"
#include "fakes/recording_window_host.h"
#include "ui/dpi_scale.h"
#include "ui/primitives.h"
#include "ui/theme.h"

#include <cmath>
#include <iterator>
#include <limits>
#include <string>
#include <utility>

namespace {

using Kind = DrawCall::Kind;

class UiPrimitivesTest : public PlatformTest {};

std::vector<const DrawCall*> panels(const RecordingCanvas& c) {
    return c.ofKind(Kind::Panel);
}

} // namespace

TEST_F(UiPrimitivesTest, TemperatureColourThresholdsAreInclusive) {
    using namespace palette;
    EXPECT_EQ(temperatureColor(54.9), Good);
    EXPECT_EQ(temperatureColor(55.0), Caution);
    EXPECT_EQ(temperatureColor(69.9), Caution);
    EXPECT_EQ(temperatureColor(70.0), Warning);
    EXPECT_EQ(temperatureColor(84.99), Warning);
    EXPECT_EQ(temperatureColor(85.0), Critical);
    EXPECT_EQ(temperatureColor(-40.0), Good);
    EXPECT_EQ(temperatureColor(std::numeric_limits<double>::quiet_NaN()), Good);
    EXPECT_EQ(temperatureColor(std::numeric_limits<double>::infinity()), Critical);
}

TEST_F(UiPrimitivesTest, BarDrawsTrackAndOnlyAFillWiderThanFourPixels) {
    struct Case {
        double fraction;
        int filled; // 0: no filled part
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // Width 100: 0.044 gives 4.4 -> 4 (left out), 0.045 gives 4.5 -> 5 (halves away from 0).
    for (const Case& k : {Case{0.0, 0}, Case{-0.5, 0}, Case{0.044, 0}, Case{0.045, 5},
                          Case{0.5, 50}, Case{1.5, 100}, Case{nan, 100}}) {
        RecordingCanvas c;
        drawBar(c, 10, 20, 100, 8, k.fraction, palette::AccentLight);
        const auto p = panels(c);
        ASSERT_EQ(p.size(), k.filled ? 2u : 1u) << k.fraction;
        EXPECT_EQ(p[0]->rect, (Rect{10, 20, 110, 28}));
        EXPECT_EQ(p[0]->radius, 8);
        EXPECT_EQ(p[0]->fill, palette::TrackFill);
        EXPECT_EQ(p[0]->border, palette::TrackLine);
        if (k.filled) {
            EXPECT_EQ(p[1]->rect, (Rect{10, 20, 10 + k.filled, 28})) << k.fraction;
            EXPECT_EQ(p[1]->fill, palette::AccentLight);
            EXPECT_EQ(p[1]->border, palette::AccentLight);
        }
    }
}

TEST_F(UiPrimitivesTest, SliderRecordsItsAreaAndPlacesTheThumbAtTheFraction) {
    {
        RecordingCanvas c;
        const Rect area = drawSlider(c, 100, 50, 200, 0.0, palette::Accent);
        EXPECT_EQ(area, (Rect{100, 46, 300, 72}));
        EXPECT_EQ(area.height(), 26);
        const auto p = panels(c);
        ASSERT_EQ(p.size(), 2u); // track and thumb, no filled part
        EXPECT_EQ(p[0]->rect, (Rect{100, 56, 300, 62}));
        EXPECT_EQ(p[0]->border, palette::SliderLine);
        EXPECT_EQ(p[1]->rect, (Rect{92, 51, 108, 67})); // centred on x
        EXPECT_EQ(p[1]->radius, 16);
        EXPECT_EQ(p[1]->fill, palette::KnobFill);
        EXPECT_EQ(p[1]->border, palette::Accent);
    }
    {
        RecordingCanvas c;
        drawSlider(c, 0, 0, 100, 0.02, palette::Accent); // exactly 2 pixels: no fill
        EXPECT_EQ(panels(c).size(), 2u);
    }
    {
        RecordingCanvas c;
        drawSlider(c, 0, 0, 100, 0.03, palette::Accent);
        const auto p = panels(c);
        ASSERT_EQ(p.size(), 3u);
        EXPECT_EQ(p[1]->rect, (Rect{0, 6, 3, 12}));
        EXPECT_EQ(p[2]->rect, (Rect{-5, 1, 11, 17}));
    }
    {
        RecordingCanvas c;
        // Out of range: the area is the same.
        EXPECT_EQ(drawSlider(c, 10, 10, 100, 7.0, palette::Accent), (Rect{10, 6, 110, 32}));
        EXPECT_EQ(panels(c).back()->rect, (Rect{102, 11, 118, 27}));
    }
}

TEST_F(UiPrimitivesTest, ToggleAppendsExactlyOneRegionAndShowsItsState) {
    RecordingCanvas c;
    std::vector<HitRegion> regions;
    drawToggle(c, regions, 259, 270, true, 60);
    drawToggle(c, regions, 259, 304, false, 61);
    ASSERT_EQ(regions.size(), 2u);
    EXPECT_EQ(regions[0], (HitRegion{{259, 270, 297, 290}, 60, 0}));
    EXPECT_EQ(regions[1], (HitRegion{{259, 304, 297, 324}, 61, 0}));
    const auto p = panels(c);
    ASSERT_EQ(p.size(), 4u);
    EXPECT_EQ(p[0]->fill, palette::Accent);
    EXPECT_EQ(p[0]->radius, 20);
    EXPECT_EQ(p[1]->rect, (Rect{279, 272, 295, 288}));
    EXPECT_EQ(p[1]->fill, palette::White);
    EXPECT_EQ(p[2]->fill, palette::ToggleOff);
    EXPECT_EQ(p[2]->border, palette::ToggleOff);
    EXPECT_EQ(p[3]->rect, (Rect{261, 306, 277, 322}));
}

TEST_F(UiPrimitivesTest, DpiScaleFollowsTheWindowAndFallsBackToOne) {
    RecordingWindowHost host;
    platform.windowHost = &host;
    struct Case {
        std::uint32_t dpi;
        float scale;
    };
    for (const Case& k : {Case{144, 1.5f}, Case{96, 1.0f}, Case{120, 1.25f}, Case{72, 0.75f},
                          Case{71, 1.0f}, Case{48, 1.0f}, Case{0, 1.0f}}) {
        host.dpi = k.dpi;
        EXPECT_EQ(queryDpiScale(), k.scale) << k.dpi;
    }
    platform.windowHost = nullptr;
    EXPECT_EQ(queryDpiScale(), 1.0f);
}

// The window's look is pinned by number: a slip in one channel would pass every layout test.
TEST(UiThemeTest, PaletteAndFontsHoldTheirExactValues) {
    using namespace palette;
    const std::pair<Color, Color> colours[] = {
        {Background, 0x1E1816u},
        {SidebarFill, 0x181311u},
        {Line, 0x483934u},
        {CardFill, 0x2B221Fu},
        {Accent, 0xFF840Au},
        {AccentLight, 0xFFC332u},
        {Text, 0xF8F4F2u},
        {TextMuted, 0xAF9E96u},
        {White, 0xFFFFFFu},
        {ButtonFill, 0x352A26u},
        {BadgeFill, 0x4E2D0Fu},
        {TrackFill, 0x1A1412u},
        {TrackLine, 0x3E322Du},
        {SliderLine, 0x463832u},
        {KnobFill, 0xFAF7F5u},
        {ToggleOff, 0x4A3C37u},
        {Good, 0x58D130u},
        {Caution, 0x0AD6FFu},
        {Warning, 0x0A9FFFu},
        {Critical, 0x3A45FFu},
        {NoticeErrorFill, 0x18183Cu},
        {NoticeErrorText, 0x828CFFu},
        {NoticeOkFill, 0x222A16u},
    };
    for (std::size_t i = 0; i < std::size(colours); ++i)
        EXPECT_EQ(colours[i].first, colours[i].second) << "palette entry " << i;

    struct Expected {
        Font font;
        std::wstring face;
        int size;
        int weight;
        bool fixed;
    };
    const Expected fonts[] = {
        {Font::FontTitle, L"Segoe UI", 20, 700, false},
        {Font::FontBrand, L"Segoe UI", 16, 600, false},
        {Font::FontBody, L"Segoe UI", 13, 400, false},
        {Font::FontBold, L"Segoe UI", 13, 700, false},
        {Font::FontSmall, L"Segoe UI", 11, 400, false},
        {Font::FontBig, L"Segoe UI", 32, 700, false},
        {Font::FontMono, L"Consolas", 12, 400, true},
        {Font::FontBoldStep, L"Segoe UI", 12, 700, false},
        {Font::FontBoldMin, L"Segoe UI", 11, 700, false},
    };
    static_assert(std::size(fonts) == FONT_COUNT);
    for (const Expected& e : fonts) {
        const FontDefinition& d = FONT_DEFINITIONS[static_cast<int>(e.font)];
        EXPECT_EQ(d.face, e.face) << static_cast<int>(e.font);
        EXPECT_EQ(d.pixelSize, e.size) << static_cast<int>(e.font);
        EXPECT_EQ(d.weight, e.weight) << static_cast<int>(e.font);
        EXPECT_EQ(d.fixedPitch, e.fixed) << static_cast<int>(e.font);
    }
}
