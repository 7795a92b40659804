#include "dib_surface.h"
#include "fakes/app_fixture.h"
#include "fakes/layout_check.h"
#include "platform/win32/gdi_canvas.h"
#include "platform/win32/gdi_font_set.h"

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
