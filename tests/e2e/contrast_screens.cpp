// Pictures of every tab in Windows' high-contrast schemes, for scripts/run --screens. Wine never
// reports the high-contrast mode, so the program cannot be seen in it there: this paints the
// program's own painters through the real GDI canvas and fonts into a bitmap instead, with the
// colours of "High Contrast Black" and "High Contrast White", and the wordy layout scenes of
// the layout check. Writes hc-SCHEME-MACHINE-tabN.ppm into the current directory.
#include "app/app_state.h"
#include "dib_surface.h"
#include "fakes/layout_check.h"
#include "platform/win32/gdi_canvas.h"
#include "platform/win32/gdi_font_set.h"
#include "ui/paint_window.h"

#include <cstdio>
#include <string>

namespace {

constexpr int kWidth = 740;
constexpr int kHeight = 1080;

bool writePpm(const DibSurface& dib, const std::string& name) {
    FILE* f = std::fopen(name.c_str(), "wb");
    if (f == nullptr)
        return false;
    std::fprintf(f, "P6\n%d %d\n255\n", kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const Color c = dib.pixel(x, y).value_or(0);
            const unsigned char rgbBytes[3] = {static_cast<unsigned char>(redOf(c)),
                                               static_cast<unsigned char>(greenOf(c)),
                                               static_cast<unsigned char>(blueOf(c))};
            std::fwrite(rgbBytes, 1, 3, f);
        }
    }
    return std::fclose(f) == 0;
}

} // namespace

int main() {
    const struct {
        const char* name;
        SystemColors colors;
    } schemes[] = {
        {"black",
         {rgb(0, 0, 0), rgb(255, 255, 255), rgb(0, 0, 0), rgb(255, 255, 255), rgb(26, 235, 255),
          rgb(0, 0, 0), rgb(63, 242, 63), rgb(255, 255, 0)}},
        {"white",
         {rgb(255, 255, 255), rgb(0, 0, 0), rgb(255, 255, 255), rgb(0, 0, 0), rgb(55, 0, 110),
          rgb(255, 255, 255), rgb(96, 0, 0), rgb(0, 0, 159)}},
    };
    DibSurface dib(kWidth, kHeight, 0);
    if (!dib.valid())
        return 1;
    GdiFontSet fonts;
    int written = 0;
    for (const auto& scheme : schemes) {
        for (bool apple : {true, false}) {
            AppState app;
            loadLayoutScene(app, apple);
            for (int i = 0; i < 120; ++i)
                app.ui.history.push(
                    {55.0f + (i % 40) * 0.5f, 48.0f + (i % 30) * 0.3f, {2400.0f, 1900.0f + 4 * i}});
            app.ui.contrast = {true, scheme.colors};
            // The focus ring, as after a key, on the mode in use.
            app.ui.focusCues = app.ui.windowFocused = true;
            app.settings.mode = ControlMode::Curve;
            app.ui.focus = {REGION_MODE_FIRST, 1};
            const WindowModel model{app.settings, app.regulation, app.identity, app.inventory};
            for (int tab = 0; tab < 6; ++tab) {
                app.ui.activeTab = tab;
                GdiCanvas canvas(dib.dc(), fonts, 1.0f);
                paintWindow(canvas, {0, 0, kWidth, kHeight}, app.ui, model);
                const std::string file = std::string("hc-") + scheme.name + "-" +
                                         (apple ? "apple" : "generic") + "-tab" +
                                         std::to_string(tab) + ".ppm";
                written += writePpm(dib, file) ? 1 : 0;
            }
            app.regulation.controller.reset();
        }
    }
    std::printf("%d pictures\n", written);
    return written == 24 ? 0 : 1;
}
