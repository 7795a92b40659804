#include "app/window_events.h"
#include "app/window_reading.h"
#include "fakes/app_fixture.h"
#include "fakes/layout_check.h"
#include "fakes/recording_canvas.h"
#include "fakes/recording_window_host.h"
#include "ui/page_reading.h"
#include "ui/paint_window.h"
#include "ui/theme.h"

namespace {

using Kind = DrawCall::Kind;

class FocusRingTooltipTest : public AppTest {
protected:
    RecordingWindowHost host;
    RecordingCanvas measurer;

    void SetUp() override {
        AppTest::SetUp();
        platform.windowHost = &host;
        loadLayoutScene(app, false);
    }
    // The fills in the text colour drawn after everything else: the ring's four sides.
    std::vector<Rect> ring() {
        RecordingCanvas c;
        paintWindow(c, {0, 0, 740, 1080}, app.ui, model());
        std::vector<Rect> sides;
        for (const DrawCall* f : c.ofKind(Kind::Fill))
            if (f->fill == palette::Text)
                sides.push_back(f->rect);
        return sides;
    }
};

} // namespace

TEST_F(FocusRingTooltipTest, TheRingShowsOnceTheKeyboardWasUsedWhileTheWindowHasIt) {
    app.ui.focus = {33, 0};
    const struct {
        bool cues, focused;
    } cases[] = {{false, false}, {false, true}, {true, false}, {true, true}};
    for (const auto& c : cases) {
        app.ui.focusCues = c.cues;
        app.ui.windowFocused = c.focused;
        const std::vector<Rect> sides = ring();
        if (!(c.cues && c.focused)) {
            EXPECT_TRUE(sides.empty()) << c.cues << c.focused;
            continue;
        }
        // Around the button "Manuelle RPM anwenden" (W + 43, B + 320, W + 229, B + 354), 3
        // pixels off it and 2 wide.
        const int W = 740 - 261, B = 136;
        ASSERT_EQ(sides.size(), 4u);
        EXPECT_EQ(sides[0], (Rect{W + 38, B + 315, W + 234, B + 317}));
        EXPECT_EQ(sides[1], (Rect{W + 38, B + 357, W + 234, B + 359}));
        EXPECT_EQ(sides[3], (Rect{W + 232, B + 317, W + 234, B + 357}));
    }
    // Windows says when the cues show and when the window has the keyboard; each repaints.
    onFocusCues(app, false);
    EXPECT_FALSE(app.ui.focusCues);
    onWindowFocus(app, false);
    onFocusCues(app, true);
    EXPECT_EQ(host.count("invalidate 0"), 1) << "only while the window has the keyboard";
    onWindowFocus(app, true);
    EXPECT_EQ(host.count("invalidate 0"), 2);
}

TEST_F(FocusRingTooltipTest, ACutTextShowsWholeInATooltipWhileThePointerStaysOnIt) {
    app.ui.dpiScale = 1.5f;
    const Rect client{0, 0, 581, 520}; // the smallest window cuts texts
    const PageReading page = readPage(measurer, client, app.ui, model());
    const ShownText* cut = nullptr;
    const ShownText* whole = nullptr;
    for (const ShownText& t : page.texts) {
        if (t.cut && cut == nullptr)
            cut = &t;
        if (!t.cut && whole == nullptr && t.box.width() > 4)
            whole = &t;
    }
    ASSERT_NE(cut, nullptr);
    ASSERT_NE(whole, nullptr);
    EXPECT_EQ(cut->text.find(L"…"), std::wstring::npos);

    onPointerRest(app, measurer, client, whole->box.left + 2, whole->box.top + 2);
    EXPECT_EQ(host.count("showTooltip"), 0) << "a whole text needs none";
    const int x = cut->box.left + 2, y = cut->box.top + 2;
    onPointerRest(app, measurer, client, x, y);
    EXPECT_EQ(host.tooltip, cut->text);
    EXPECT_EQ(host.tooltipX, static_cast<int>(x * 1.5f + 0.5f)) << "in the window's pixels";
    onPointerRest(app, measurer, client, x + 1, y);
    EXPECT_EQ(host.count("showTooltip"), 1) << "it shows already";
    onPointerAway(app, x + 1, y + 1, false);
    EXPECT_EQ(host.count("hideTooltip"), 0);
    onPointerAway(app, cut->box.right + 5, y, false);
    EXPECT_EQ(host.count("hideTooltip"), 1);
    EXPECT_TRUE(host.tooltip.empty());
    onPointerRest(app, measurer, client, x, y);
    onPointerAway(app, 0, 0, true); // the pointer left the window
    EXPECT_EQ(host.count("hideTooltip"), 2);
}
