#include "app/window_events.h"
#include "fakes/app_fixture.h"
#include "fakes/layout_check.h"
#include "fakes/recording_canvas.h"
#include "fakes/recording_window_host.h"
#include "ui/contrast_canvas.h"
#include "ui/paint_window.h"
#include "ui/theme.h"

#include <set>

namespace {

using Kind = DrawCall::Kind;

// Windows' "High Contrast Black", one colour per role.
const SystemColors kBlack = {rgb(0, 0, 0),       rgb(255, 255, 255), rgb(1, 1, 1),
                             rgb(254, 254, 254), rgb(26, 235, 255),  rgb(0, 0, 2),
                             rgb(63, 242, 63),   rgb(255, 255, 0)};

class ContrastTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        loadLayoutScene(app, true);
        for (int i = 0; i < 20; ++i)
            app.ui.history.push({60.0f + i, 50.0f, {2400.0f, 2100.0f + 10 * i}});
        app.ui.contrast = {true, kBlack};
    }
    RecordingCanvas paint(int tab) {
        app.ui.activeTab = tab;
        RecordingCanvas c;
        paintWindow(c, {0, 0, 740, 1080}, app.ui, model());
        return c;
    }
};

// The shape a text sits on: the last panel or fill drawn under its top-left corner.
const DrawCall* baseOf(const RecordingCanvas& c, std::size_t text) {
    const DrawCall& t = c.calls[text];
    const Point at = t.kind == Kind::TextAt ? t.at : Point{t.rect.left + 1, t.rect.top + 1};
    for (std::size_t j = text; j-- > 0;) {
        const DrawCall& s = c.calls[j];
        if ((s.kind == Kind::Panel || s.kind == Kind::Fill) && s.rect.contains(at.x + 1, at.y + 2))
            return &s;
    }
    return nullptr;
}

} // namespace

TEST(ContrastRolesTest, EachPaletteColourHasItsSystemRole) {
    using namespace palette;
    using R = SystemRole;
    const struct {
        Color dark;
        R surface;
        R line;
    } roles[] = {
        {Background, R::Window, R::WindowText},   {CardFill, R::Window, R::WindowText},
        {TrackFill, R::Window, R::WindowText},    {NoticeErrorFill, R::Window, R::WindowText},
        {ButtonFill, R::ButtonFace, R::GrayText}, {ToggleOff, R::ButtonFace, R::WindowText},
        {Accent, R::Highlight, R::Highlight},     {AccentLight, R::WindowText, R::WindowText},
        {Caution, R::Highlight, R::Highlight},    {Warning, R::HotTrack, R::HotTrack},
        {Critical, R::HotTrack, R::HotTrack},     {Good, R::GrayText, R::GrayText},
        {TextMuted, R::GrayText, R::GrayText},    {Line, R::WindowText, R::WindowText},
    };
    for (const auto& r : roles) {
        EXPECT_EQ(surfaceRole(r.dark), r.surface) << std::hex << r.dark;
        EXPECT_EQ(lineRole(r.dark), r.line) << std::hex << r.dark;
    }
    EXPECT_EQ(foregroundOn(R::Highlight), R::HighlightText);
    EXPECT_EQ(foregroundOn(R::ButtonFace), R::ButtonText);
    EXPECT_EQ(foregroundOn(R::Window), R::WindowText);
}

TEST_F(ContrastTest, EveryTabPaintsWithTheSystemColoursOnlyAndTextStandsOut) {
    const std::set<Color> system = {kBlack.window,     kBlack.windowText, kBlack.buttonFace,
                                    kBlack.buttonText, kBlack.highlight,  kBlack.highlightText,
                                    kBlack.grayText,   kBlack.hotTrack};
    app.settings.mode = ControlMode::Quiet; // an active mode button, a highlighted badge
    for (int tab = 0; tab < 6; ++tab) {
        SCOPED_TRACE(tab);
        const RecordingCanvas c = paint(tab);
        int texts = 0;
        for (std::size_t i = 0; i < c.calls.size(); ++i) {
            const DrawCall& d = c.calls[i];
            if (d.kind == Kind::BeginPaint || d.kind == Kind::EndPaint)
                continue;
            EXPECT_EQ(system.count(d.fill), 1u) << i << " colour " << std::hex << d.fill;
            if (d.kind == Kind::Panel || d.kind == Kind::Ellipse) {
                EXPECT_EQ(system.count(d.border), 1u) << i << " border " << std::hex << d.border;
            }
            if (d.kind != Kind::TextAt && d.kind != Kind::TextIn)
                continue;
            ++texts;
            const DrawCall* base = baseOf(c, i);
            ASSERT_NE(base, nullptr) << i;
            EXPECT_NE(d.fill, base->fill) << "text in the colour of what it sits on, call " << i;
        }
        EXPECT_GT(texts, 5);
    }
}

TEST_F(ContrastTest, ChartLinesKeepColoursApart) {
    std::set<Color> history;
    std::set<int> widths;
    const RecordingCanvas dashboard = paint(0);
    for (const DrawCall* p : dashboard.ofKind(Kind::Polyline)) {
        history.insert(p->fill);
        widths.insert(p->width);
    }
    EXPECT_EQ(history.size(), 4u) << "CPU, GPU and both fans each in a colour of its own";
    EXPECT_EQ(widths.size(), 3u) << "and where two colours of a scheme are alike, in widths";

    const RecordingCanvas curve = paint(1);
    const auto lines = curve.ofKind(Kind::Polyline);
    ASSERT_EQ(lines.size(), 1u);
    for (const DrawCall* l : curve.ofKind(Kind::Line))
        if (l->dotted) {
            EXPECT_NE(l->fill, lines[0]->fill) << "the grid is not the curve";
        }
    EXPECT_NE(lines[0]->fill, kBlack.window);
}

TEST_F(ContrastTest, TheModeIsAskedAgainWhenWindowsSettingsChange) {
    RecordingWindowHost host;
    platform.windowHost = &host;
    app.ui.contrast = {};
    host.contrast = {true, kBlack};
    onDisplaySettingsChanged(app);
    EXPECT_EQ(app.ui.contrast, host.contrast);
    EXPECT_EQ(host.count("invalidate 0"), 1);
    onDisplaySettingsChanged(app); // nothing changed: no repaint
    EXPECT_EQ(host.count("invalidate 0"), 1);
    host.contrast = {};
    onDisplaySettingsChanged(app);
    EXPECT_FALSE(app.ui.contrast.on);
    EXPECT_EQ(paint(0).calls[0].fill, palette::Background) << "back to the dark palette";
}
