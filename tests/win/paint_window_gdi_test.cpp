#include "dib_surface.h"
#include "fakes/app_fixture.h"
#include "fakes/recording_controller.h"
#include "gdi_object_count.h"
#include "platform/win32/gdi_canvas.h"
#include "platform/win32/gdi_font_set.h"
#include "ui/paint_window.h"
#include "ui/theme.h"

#include <cstdio>
#include <memory>

namespace {

constexpr int kWidth = 740;
constexpr int kHeight = 1080;
constexpr int W = kWidth - 261;

class PaintWindowGdiTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        app.regulation.readings.fanList = {makeFan(0, 1200, 6000, 2400),
                                           makeFan(1, 1000, 5000, 2100)};
        app.regulation.readings.fanList[0].label = L"Lüfter links";
        app.regulation.readings.fanList[1].label = L"Lüfter rechts";
        app.regulation.readings.sensorList = {{L"TC0P", L"CPU Proximity", L"CPU", L"°C", 58.0},
                                              {L"TG0P", L"GPU Proximity", L"GPU", L"°C", 48.0},
                                              {L"PWR1", L"Gesamt", L"Power", L"W", 31.0}};
        app.inventory = {{L"Prozessor", L"CPU", palette::Accent, {{L"Kerne", L"4"}}},
                         {L"Speicher", L"RAM", palette::Good, {{L"Gesamt", L"16 GB"}}}};
        auto controller = std::make_unique<RecordingController>();
        controller->connected = true;
        app.regulation.controller = std::move(controller);
        app.regulation.notice.text = L"Modus aktiviert";
        app.settings.autostartEnabled = false;
        app.settings.resetFansOnExit = true;
    }

    void paintTab(DibSurface& dib, int tab) {
        app.ui.activeTab = tab;
        GdiCanvas canvas(dib.dc());
        paintWindow(canvas, {0, 0, kWidth, kHeight}, app.ui, model());
    }
};

} // namespace

TEST_F(PaintWindowGdiTest, FillsHaveTheExactPaletteColours) {
    DibSurface dib(kWidth, kHeight, rgb(255, 0, 255));
    ASSERT_TRUE(dib.valid());
    const int B = 136; // the notice is shown
    for (int tab = 0; tab < 6; ++tab) {
        paintTab(dib, tab);
        SCOPED_TRACE(tab);
        EXPECT_EQ(dib.pixel(234, 600), palette::Background);
        EXPECT_EQ(dib.pixel(kWidth - 5, 5), palette::Background);
        EXPECT_EQ(dib.pixel(5, 600), palette::SidebarFill);
        EXPECT_EQ(dib.pixel(225, 600), palette::Line); // the divider
        // The active entry is filled; the caption leaves its right end free.
        EXPECT_EQ(dib.pixel(209, 85 + 36 * tab), palette::Accent);
        EXPECT_EQ(dib.pixel(209, 85 + 36 * ((tab + 1) % 6)), palette::SidebarFill);
        EXPECT_EQ(dib.pixel(W + 236, 50), palette::CardFill); // header card right of the buttons
        EXPECT_EQ(dib.pixel(W + 240, 115), palette::NoticeOkFill);
        EXPECT_EQ(dib.pixel(W + 242, 115), palette::Good);               // the notice's outline
        EXPECT_EQ(dib.pixel(12 + 100, kHeight - 20), palette::CardFill); // live-status card
    }

    paintTab(dib, 0);
    EXPECT_EQ(dib.pixel(W + 47, B + 337), palette::Accent); // "Manuelle RPM anwenden"
    EXPECT_EQ(dib.pixel(W + 43, B + 337), palette::AccentLight);
    EXPECT_EQ(dib.pixel(250, B + 50), palette::CardFill);  // first reading card
    EXPECT_EQ(dib.pixel(250, B + 200), palette::CardFill); // first fan card
    // The link switch is on: accent track left of the knob.
    EXPECT_EQ(dib.pixel(257 + 8, B + 336), palette::Accent);
    EXPECT_EQ(dib.pixel(257 + 28, B + 336), palette::White); // knob

    paintTab(dib, 1);
    EXPECT_EQ(dib.pixel(268, B + 319), palette::Accent);        // "Kurve aktivieren"
    EXPECT_EQ(dib.pixel(478, B + 319), palette::ButtonFill);    // "Zurücksetzen"
    EXPECT_EQ(dib.pixel(W + 218, B + 275), palette::TrackFill); // chart corner area

    paintTab(dib, 4);
    // Autostart off: grey track right of the knob; reset on exit on: accent left of the knob.
    EXPECT_EQ(dib.pixel(259 + 30, B + 178), palette::ToggleOff);
    EXPECT_EQ(dib.pixel(259 + 10, B + 178), palette::White);
    EXPECT_EQ(dib.pixel(259 + 8, B + 246), palette::Accent);
    EXPECT_EQ(dib.pixel(W + 67, B + 28), palette::Accent); // "Treiber neu laden"

    app.regulation.notice.isError = true;
    paintTab(dib, 5);
    EXPECT_EQ(dib.pixel(W + 240, 115), palette::NoticeErrorFill);
    EXPECT_EQ(dib.pixel(W + 242, 115), palette::Critical);
    EXPECT_EQ(dib.pixel(W + 236, B + 60), palette::CardFill);

    // Without a notice the content moves up to 102 and the notice's place is background.
    app.regulation.notice.text.clear();
    paintTab(dib, 0);
    EXPECT_EQ(dib.pixel(W + 240, 115), palette::CardFill); // the first reading row now
    EXPECT_EQ(dib.pixel(W + 47, 102 + 337), palette::Accent);
}

TEST_F(PaintWindowGdiTest, ObjectCounterSeesALeakedObject) {
    DibSurface dib(10, 10, 0); // an object of our own, so that the count is never 0
    const long before = gdiObjectCount();
    ASSERT_GE(before, 0) << "no way to count GDI objects";
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    EXPECT_EQ(gdiObjectCount(), before + 1);
    DeleteObject(brush);
    EXPECT_EQ(gdiObjectCount(), before);
}

TEST_F(PaintWindowGdiTest, ThousandsOfPaintsMakeFontsOncePerScaleAndLeaveNothingBehind) {
    DibSurface dib(kWidth, kHeight, 0);
    ASSERT_TRUE(dib.valid());
    GdiFontSet fonts;
    const auto paintWith = [&](int tab, float scale) {
        app.ui.activeTab = tab;
        GdiCanvas canvas(dib.dc(), fonts, scale);
        paintWindow(canvas, {0, 0, kWidth, kHeight}, app.ui, model());
    };
    const HGDIOBJ pen = GetCurrentObject(dib.dc(), OBJ_PEN);
    const HGDIOBJ brush = GetCurrentObject(dib.dc(), OBJ_BRUSH);
    const HGDIOBJ font = GetCurrentObject(dib.dc(), OBJ_FONT);
    const long before = gdiObjectCount();
    ASSERT_GE(before, 0);
    paintWith(0, 1.0f);
    EXPECT_EQ(gdiObjectCount(), before + FONT_COUNT) << "the fonts, made by the first paint";
    const DWORD start = GetTickCount();
    for (int round = 0; round < 10000; ++round)
        paintWith(round % 6, 1.0f);
    std::printf("10000 paints: %lu ms\n", static_cast<unsigned long>(GetTickCount() - start));
    EXPECT_EQ(gdiObjectCount(), before + FONT_COUNT);
    // A new scale replaces the fonts rather than adding to them.
    paintWith(0, 1.5f);
    paintWith(1, 1.5f);
    EXPECT_EQ(gdiObjectCount(), before + FONT_COUNT);
    // The device context is left with what it had selected.
    EXPECT_EQ(GetCurrentObject(dib.dc(), OBJ_PEN), pen);
    EXPECT_EQ(GetCurrentObject(dib.dc(), OBJ_BRUSH), brush);
    EXPECT_EQ(GetCurrentObject(dib.dc(), OBJ_FONT), font);
}

TEST_F(PaintWindowGdiTest, AScaledPaintPutsTheLayoutAtItsDevicePixels) {
    DibSurface dib(kWidth * 3 / 2, kHeight * 3 / 2, rgb(255, 0, 255));
    ASSERT_TRUE(dib.valid());
    GdiFontSet fonts;
    app.ui.activeTab = 4;
    GdiCanvas canvas(dib.dc(), fonts, 1.5f);
    paintWindow(canvas, {0, 0, kWidth, kHeight}, app.ui, model());
    const int B = 136;
    // The reload button at (W + 67, B + 28) in layout pixels lies at 1.5 times that.
    EXPECT_EQ(dib.pixel((W + 67) * 3 / 2, (B + 28) * 3 / 2), palette::Accent);
    EXPECT_EQ(dib.pixel(5 * 3 / 2, 600 * 3 / 2), palette::SidebarFill);
    EXPECT_EQ(dib.pixel(225 * 3 / 2 + 1, 600 * 3 / 2), palette::Line); // the divider, 1.5 wide
    EXPECT_EQ(dib.pixel(234 * 3 / 2, 600 * 3 / 2), palette::Background);
}

TEST_F(PaintWindowGdiTest, AnAbandonedPaintStillReleasesItsFonts) {
    DibSurface dib(100, 100, 0);
    const long before = gdiObjectCount();
    {
        GdiCanvas canvas(dib.dc());
        canvas.beginPaint();
        EXPECT_EQ(gdiObjectCount(), before + FONT_COUNT);
        canvas.textAt(5, 5, L"x", Font::FontMono, palette::Text);
    }
    EXPECT_EQ(gdiObjectCount(), before);
}
