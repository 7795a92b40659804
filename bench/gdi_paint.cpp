// Paint cost with the real GDI canvas and fonts, under Wine: each tab of the bench state is
// painted into a 740x1080 (layout pixels) 32-bit DIB at 100 % and 150 %, as the window paints
// it: one font set kept across paints. "first" is the paint that makes the fonts and measures
// every text for the first time; "steady" the cheapest average of batches of later paints.

#include "bench_state.h"

#include "app/app_state.h"
#include "dib_surface.h"
#include "platform/win32/gdi_canvas.h"
#include "platform/win32/gdi_font_set.h"
#include "ui/paint_window.h"

#include <windows.h>

#include <cstdio>

namespace {

constexpr int kWidth = 740;
constexpr int kHeight = 1080;
constexpr int kBatches = 7;
constexpr int kPaintsPerBatch = 40;
constexpr const char* kTabNames[] = {"dashboard", "curve",  "sensors",
                                     "hardware",  "driver", "about"};

double microsecondsSince(const LARGE_INTEGER& start) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - start.QuadPart) * 1e6 /
           static_cast<double>(frequency.QuadPart);
}

void paintOnce(BenchState& state, HDC dc, GdiFontSet& fonts, float scale) {
    GdiCanvas canvas(dc, fonts, scale);
    paintWindow(canvas, {0, 0, kWidth, kHeight}, state.app.ui, state.model());
}

} // namespace

int main() {
    BenchState state;
    for (const float scale : {1.0f, 1.5f}) {
        DibSurface surface(static_cast<int>(kWidth * scale), static_cast<int>(kHeight * scale), 0);
        if (!surface.valid()) {
            std::printf("no DIB section\n");
            return 1;
        }
        for (int tab = 0; tab < 6; ++tab) {
            state.app.ui.activeTab = tab;
            GdiFontSet fonts;
            LARGE_INTEGER start;
            QueryPerformanceCounter(&start);
            paintOnce(state, surface.dc(), fonts, scale);
            const double first = microsecondsSince(start);
            double steady = 0.0;
            for (int batch = 0; batch < kBatches; ++batch) {
                QueryPerformanceCounter(&start);
                for (int i = 0; i < kPaintsPerBatch; ++i)
                    paintOnce(state, surface.dc(), fonts, scale);
                const double each = microsecondsSince(start) / kPaintsPerBatch;
                if (batch == 0 || each < steady)
                    steady = each;
            }
            std::printf("paint tab=%-9s scale=%3d%%  first %8.1f us  steady %8.1f us\n",
                        kTabNames[tab], static_cast<int>(scale * 100.0f + 0.5f), first, steady);
        }
    }
    return 0;
}
