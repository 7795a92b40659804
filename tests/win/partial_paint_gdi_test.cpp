#include "dib_surface.h"
#include "fakes/app_fixture.h"
#include "fakes/recording_controller.h"
#include "platform/win32/gdi_canvas.h"
#include "platform/win32/gdi_font_set.h"
#include "platform/win32/win32_back_buffer.h"
#include "ui/frame_digest.h"
#include "ui/paint_window.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

// The layout's size; the surfaces have it at each scale.
constexpr int kWidth = 724;
constexpr int kHeight = 1000;

class PartialPaintGdiTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        app = AppState{}; // each case of the table starts afresh
        app.regulation.readings.fanList = {makeFan(0, 1200, 6000, 2400),
                                           makeFan(1, 1000, 5000, 2100)};
        app.regulation.readings.sensorList = {{L"TC0P", L"CPU Proximity", L"CPU", L"°C", 58.0}};
        auto controller = std::make_unique<RecordingController>();
        controller->connected = true;
        app.regulation.controller = std::move(controller);
        app.regulation.notice.text = L"Modus aktiviert";
        for (int i = 0; i < 40; ++i)
            app.ui.history.push({50.0f + i % 7, 45.0f, {2400.0f, 2100.0f}});
    }

    static Rect layout(float) { return {0, 0, kWidth, kHeight}; }
    static int device(int layoutPixels, float scale) {
        return static_cast<int>(std::lround(layoutPixels * scale));
    }
    std::vector<DigestEntry> digest(HDC measuring, float scale) {
        std::vector<DigestEntry> entries;
        GdiCanvas measurer(measuring, fonts, scale);
        FrameDigestCanvas canvas(measurer, entries);
        paintWindow(canvas, layout(scale), app.ui, model());
        return entries;
    }
    // What the window does on a tick: repaint only the changed areas, through one buffer over
    // all of them, drawing only the calls that reach one, shown only inside the areas.
    void paintPart(DibSurface& dib, const std::vector<Rect>& areas, float scale) {
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        RECT bounds{};
        std::vector<Rect> limits;
        for (const Rect& a : areas) {
            const RECT device{static_cast<LONG>(std::floor(a.left * scale)) - 1,
                              static_cast<LONG>(std::floor(a.top * scale)) - 1,
                              static_cast<LONG>(std::ceil(a.right * scale)) + 1,
                              static_cast<LONG>(std::ceil(a.bottom * scale)) + 1};
            HRGN part = CreateRectRgnIndirect(&device);
            CombineRgn(region, region, part, RGN_OR);
            DeleteObject(part);
            UnionRect(&bounds, &bounds, &device);
            limits.push_back({a.left - 1, a.top - 1, a.right + 1, a.bottom + 1});
        }
        SelectClipRgn(dib.dc(), region);
        {
            Win32BackBuffer buffer(dib.dc(), bounds);
            GdiCanvas canvas(buffer.dc(), fonts, scale);
            canvas.limitTo(limits);
            paintWindow(canvas, layout(scale), app.ui, model());
            canvas.endPaint();
            buffer.present();
        }
        SelectClipRgn(dib.dc(), nullptr);
        DeleteObject(region);
    }
    void paintWhole(DibSurface& dib, float scale) {
        GdiCanvas canvas(dib.dc(), fonts, scale);
        paintWindow(canvas, layout(scale), app.ui, model());
    }
    static int differingPixels(const DibSurface& a, const DibSurface& b, float scale) {
        int n = 0;
        for (int y = 0; y < device(kHeight, scale); ++y)
            for (int x = 0; x < device(kWidth, scale); ++x)
                if (a.pixel(x, y) != b.pixel(x, y) && ++n < 4)
                    std::printf("differs at %d,%d\n", x, y);
        return n;
    }
    GdiFontSet fonts;
};

TEST_F(PartialPaintGdiTest, RepaintingOnlyTheChangedAreaGivesTheFullPicture) {
    const struct {
        const char* what;
        int tab;
        void (*change)(AppState&);
    } cases[] = {
        {"fan readings and a new sample", 0,
         [](AppState& app) {
             app.regulation.readings.fanList[0].currentRpm = 3456;
             app.regulation.readings.fanList[1].currentRpm = 1234;
             app.ui.history.push({71.0f, 52.0f, {3456.0f, 1234.0f}});
         }},
        {"a longer notice", 0,
         [](AppState& app) {
             app.regulation.notice.text = L"Profil 'Leise' aktiviert – Lüfter folgen";
         }},
        {"a lost reading", 0, [](AppState& app) { app.regulation.readings.cpuTempLost = true; }},
        {"a sensor value", 2,
         [](AppState& app) { app.regulation.readings.sensorList[0].value = 77.5; }},
        {"the tab", 0, [](AppState& app) { app.ui.activeTab = 3; }},
    };
    for (const float scale : {1.0f, 1.5f}) {
        for (const auto& c : cases) {
            SetUp();
            SCOPED_TRACE(testing::Message() << c.what << " at " << scale);
            app.ui.activeTab = c.tab;
            const int w = device(kWidth, scale), h = device(kHeight, scale);
            DibSurface partial(w, h, rgb(255, 0, 255));
            DibSurface whole(w, h, rgb(255, 0, 255));
            ASSERT_TRUE(partial.valid() && whole.valid());
            paintWhole(partial, scale);
            const auto before = digest(whole.dc(), scale);
            c.change(app);
            const std::vector<Rect> areas =
                changedAreas(before, digest(whole.dc(), scale), layout(scale));
            ASSERT_FALSE(areas.empty());
            paintPart(partial, areas, scale);
            paintWhole(whole, scale);
            EXPECT_EQ(differingPixels(partial, whole, scale), 0);
        }
    }
}

} // namespace
