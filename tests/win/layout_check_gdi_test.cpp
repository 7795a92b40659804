#include "base/texts.h"
#include "dib_surface.h"
#include "fakes/app_fixture.h"
#include "fakes/layout_check.h"
#include "platform/win32/gdi_canvas.h"
#include "platform/win32/gdi_font_set.h"
#include "ui/page_reading.h"

class LayoutCheckGdiTest : public AppTest {};

// The same check as natively, with the widths of the fonts GDI really draws with at each scale
// (hinting makes them grow less or more than the scale).
TEST_F(LayoutCheckGdiTest, EveryTextOfEveryTabFitsWithTheRealFontsAtEveryScale) {
    DibSurface dib(16, 16, 0);
    ASSERT_TRUE(dib.valid());
    for (float scale : {1.0f, 1.25f, 1.5f}) {
        GdiFontSet fonts;
        GdiCanvas measurer(dib.dc(), fonts, scale);
        const std::vector<std::string> faults = layoutFaultsOfEveryTab(&measurer);
        std::string shown;
        for (std::size_t i = 0; i < faults.size() && i < 40; ++i)
            shown += faults[i] + "\n";
        EXPECT_TRUE(faults.empty()) << "scale " << scale << ": " << faults.size() << " faults\n"
                                    << shown;
    }
}

// At the default size, and clamped to a 1280 x 800 screen, every mode button and every tab
// shows its caption whole with the fonts GDI draws with, at every scale, in both languages.
TEST_F(LayoutCheckGdiTest, CaptionsOfTheModesAndTabsAreWholeAtTheDefaultSize) {
    DibSurface dib(16, 16, 0);
    ASSERT_TRUE(dib.valid());
    loadLayoutScene(app, true);
    for (const Language language : {Language::German, Language::English}) {
        setTextLanguage(language);
        for (float scale : {1.0f, 1.25f, 1.5f}) {
            GdiFontSet fonts;
            GdiCanvas measurer(dib.dc(), fonts, scale);
            for (const Rect client : {Rect{0, 0, 724, 721}, Rect{0, 0, 724, 1041}}) {
                for (int mode = 0; mode < 6; ++mode) {
                    app.settings.mode = static_cast<ControlMode>(mode);
                    const PageReading page = readPage(measurer, client, app.ui, model());
                    int captions = 0;
                    for (const HitRegion& r : app.ui.hitRegions) {
                        if (r.id < REGION_TAB_FIRST || r.id >= REGION_MODE_FIRST + 6)
                            continue;
                        for (const ShownText& t : page.texts) {
                            if (!r.bounds.contains(t.box.left + t.box.width() / 2, t.box.top + 2))
                                continue;
                            ++captions;
                            EXPECT_FALSE(t.cut)
                                << static_cast<int>(language) << " scale " << scale << " height "
                                << client.bottom << " mode " << mode << ": " << t.box.left;
                        }
                    }
                    EXPECT_EQ(captions, 12);
                }
            }
        }
    }
    setTextLanguage(Language::German);
}
