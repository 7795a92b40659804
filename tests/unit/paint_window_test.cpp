#include "fakes/app_fixture.h"
#include "fakes/recording_canvas.h"
#include "fakes/recording_controller.h"
#include "ui/curve_geometry.h"
#include "ui/paint_window.h"
#include "ui/theme.h"

#include <cmath>
#include <limits>
#include <memory>

namespace {

using Kind = DrawCall::Kind;

class PaintWindowTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        app.regulation.notice.text.clear();
    }

    RecordingCanvas paint(int width = 740, int height = 1080) {
        RecordingCanvas c;
        paintWindow(c, {0, 0, width, height}, app.ui, model());
        return c;
    }

    std::vector<int> ids() {
        std::vector<int> out;
        for (const HitRegion& r : app.ui.hitRegions)
            out.push_back(r.id);
        return out;
    }

    const HitRegion* region(int id) {
        for (const HitRegion& r : app.ui.hitRegions)
            if (r.id == id)
                return &r;
        return nullptr;
    }

    void twoFans() {
        app.regulation.readings.fanList = {makeFan(0, 1200, 6000, 2400),
                                           makeFan(1, 1000, 5000, 2100)};
        app.regulation.readings.fanList[0].label = L"Lüfter links";
        app.regulation.readings.fanList[1].label = L"Lüfter rechts";
    }
};

const std::vector<int> kFrameIds = {1, 2, 3, 4, 5, 6, 20, 21, 22, 23, 24, 25};

std::vector<int> with(std::vector<int> ids, std::initializer_list<int> more) {
    ids.insert(ids.end(), more);
    return ids;
}

} // namespace

TEST_F(PaintWindowTest, DashboardRegionsComeInDrawingOrder) {
    twoFans();
    paint();
    EXPECT_EQ(ids(), with(kFrameIds, {30, 31, 32, 33}));
    const int W = 740 - 261;
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(app.ui.hitRegions[i],
                  (HitRegion{{12, 70 + 36 * i, 213, 100 + 36 * i}, i + 1, i}));
    // The six captions do not fit one row here: two rows of three, wide enough for each.
    const int bw = (W - 40) / 3;
    for (int m = 0; m < 6; ++m) {
        const int x = 257 + (m % 3) * (bw + 6), y = m < 3 ? 43 : 67;
        EXPECT_EQ(app.ui.hitRegions[6 + m], (HitRegion{{x, y, x + bw, y + 21}, 20 + m, m}));
    }
    EXPECT_EQ(region(30)->bounds, app.ui.sliderRects[0]);
    EXPECT_EQ(region(31)->bounds, app.ui.sliderRects[1]);
    EXPECT_EQ(region(31)->arg, 1);
    EXPECT_EQ(*region(32), (HitRegion{{257, 102 + 326, 295, 102 + 346}, 32, 0}));
    EXPECT_EQ(*region(33), (HitRegion{{W + 43, 102 + 320, W + 229, 102 + 354}, 33, 0}));

    // Two cards of W / 2 - 6, 12 apart; sliders span the card minus 16 on each side.
    const int cw = W / 2 - 6;
    EXPECT_EQ(app.ui.sliderRects[0], (Rect{259, 102 + 247, 259 + cw - 32, 102 + 273}));
    EXPECT_EQ(app.ui.sliderRects[1].left, 243 + cw + 12 + 16);

    // A second paint rebuilds the list rather than adding to it.
    paint();
    EXPECT_EQ(ids(), with(kFrameIds, {30, 31, 32, 33}));
}

TEST_F(PaintWindowTest, FanCountDecidesCardsAndSliders) {
    const int W = 740 - 261;
    app.regulation.readings.fanList = {makeFan(0, 1200, 6000, 2400)};
    auto c = paint();
    EXPECT_EQ(ids(), with(kFrameIds, {30, 32, 33}));
    EXPECT_EQ(app.ui.sliderRects[0], (Rect{259, 349, 243 + W - 16, 375}));
    bool fullWidthCard = false;
    for (const DrawCall* p : c.ofKind(Kind::Panel))
        fullWidthCard |= p->rect == Rect{243, 207, 243 + W, 402};
    EXPECT_TRUE(fullWidthCard);

    app.regulation.readings.fanList.clear();
    c = paint();
    EXPECT_EQ(ids(), with(kFrameIds, {32, 33}));
    EXPECT_EQ(c.countText(L"Kein Lüfter erkannt"), 2);
    EXPECT_NE(c.findText(L"Lüfter 2"), nullptr);

    twoFans();
    app.regulation.readings.fanList.push_back(makeFan(2, 500, 900, 700));
    app.regulation.readings.fanList[2].label = L"Dritter";
    c = paint();
    EXPECT_EQ(ids(), with(kFrameIds, {30, 31, 32, 33}));
    EXPECT_EQ(c.findText(L"Dritter"), nullptr);
}

TEST_F(PaintWindowTest, FanCardShowsRangeReadingAndManualSpeed) {
    twoFans();
    app.regulation.readings.fanList[0].manual = true;
    app.settings.manualRpm = {3600.0, 2000.0};
    auto c = paint();
    // One line where it fits, else the range alone and the state beside the fan's name.
    const auto rangeShown = [&](const wchar_t* range, const wchar_t* state) {
        if (c.findText(std::wstring(range) + L" · " + state) != nullptr)
            return true;
        const DrawCall* line = c.findText(range);
        const DrawCall* right = c.findText(state);
        return line && right && right->kind == Kind::TextIn && right->rect.top == 102 + 119 &&
               line->at.y == 102 + 139;
    };
    EXPECT_TRUE(rangeShown(L"Bereich: 1200 – 6000 RPM", L"Manuell"));
    EXPECT_TRUE(rangeShown(L"Bereich: 1000 – 5000 RPM", L"Auto-Modus"));
    // The reading appears in the live-status block and, large, on the fan's card.
    EXPECT_EQ(c.countText(L"2400 RPM"), 2);
    bool bigReading = false;
    for (const DrawCall* t : c.ofKind(Kind::TextAt))
        bigReading |= t->text == L"2400 RPM" && t->font == Font::FontBig &&
                      t->fill == palette::AccentLight && t->at == Point{259, 102 + 159};
    EXPECT_TRUE(bigReading);
    const DrawCall* manual = c.findText(L"3600 RPM");
    ASSERT_NE(manual, nullptr);
    EXPECT_EQ(manual->kind, Kind::TextIn);
    EXPECT_EQ(manual->align, TextAlign::Right);

    // A reversed range shows the fraction 0: no filled bar or slider part, thumb at the left.
    app.regulation.readings.fanList[1].minRpm = 5000;
    app.regulation.readings.fanList[1].maxRpm = 5000;
    c = paint();
    const Rect s1 = app.ui.sliderRects[1];
    bool thumbAtLeft = false;
    for (const DrawCall* p : c.ofKind(Kind::Panel))
        thumbAtLeft |= p->fill == palette::KnobFill && p->rect.left == s1.left - 8;
    EXPECT_TRUE(thumbAtLeft);
}

TEST_F(PaintWindowTest, ContentWidthNeverDropsBelow320) {
    EXPECT_EQ(contentWidth({0, 0, 400, 600}), 320);
    EXPECT_EQ(contentWidth({0, 0, 580, 600}), 320);
    EXPECT_EQ(contentWidth({0, 0, 581, 600}), 320);
    EXPECT_EQ(contentWidth({0, 0, 582, 600}), 321);
    EXPECT_EQ(contentWidth({0, 0, 0, 0}), 320);

    twoFans();
    auto c = paint(450, 700);
    EXPECT_EQ(*region(33), (HitRegion{{320 + 43, 422, 320 + 229, 456}, 33, 0}));
    const int bw = (320 - 40) / 3;
    EXPECT_EQ(region(25)->bounds, (Rect{257 + 2 * (bw + 6), 67, 257 + 2 * (bw + 6) + bw, 88}));
}

TEST_F(PaintWindowTest, ModeButtonsStandInOneRowWhereEveryCaptionFitsIt) {
    paint(1400, 900);
    const int bw = (1400 - 261 - 58) / 6;
    for (int m = 0; m < 6; ++m) {
        const int x = 257 + m * (bw + 6);
        EXPECT_EQ(region(20 + m)->bounds, (Rect{x, 48, x + bw, 80})) << m;
    }
}

TEST_F(PaintWindowTest, SidebarCutsALongManufacturerName) {
    app.identity.manufacturer = L"ABCDEFGHIJKLMNOPQRSTUV"; // 22
    auto c = paint();
    EXPECT_NE(c.findText(L"ABCDEFGHIJKLMNOPQRSTUV"), nullptr);
    app.identity.manufacturer = L"ABCDEFGHIJKLMNOPQRSTUVW"; // 23
    c = paint();
    EXPECT_EQ(c.findText(L"ABCDEFGHIJKLMNOPQRSTUVW"), nullptr);
    const DrawCall* cut = c.findText(L"ABCDEFGHIJKLMNOPQRST..");
    ASSERT_NE(cut, nullptr);
    EXPECT_EQ(cut->at, (Point{58, 35}));

    // A character of two UTF-16 units across the cut goes whole, not half.
    std::wstring pair = L"ABCDEFGHIJKLMNOPQRS";
    pair += static_cast<wchar_t>(0xD83D);
    pair += static_cast<wchar_t>(0xDE00);
    pair += L"XYZ"; // 24 units
    app.identity.manufacturer = pair;
    c = paint();
    EXPECT_NE(c.findText(L"ABCDEFGHIJKLMNOPQRS.."), nullptr);
}

TEST_F(PaintWindowTest, ModeBadgeAndButtonsFollowTheMode) {
    const int W = 740 - 261;
    auto modeButtonFills = [&](const RecordingCanvas& c) {
        std::vector<Color> fills;
        for (const HitRegion& r : app.ui.hitRegions)
            if (r.id >= 20 && r.id <= 25)
                for (const DrawCall* p : c.ofKind(Kind::Panel))
                    if (p->rect == r.bounds)
                        fills.push_back(p->fill);
        return fills;
    };
    app.settings.mode = ControlMode::Balanced;
    auto c = paint();
    const DrawCall* badge = c.findText(L"Ausgewogen");
    ASSERT_NE(badge, nullptr);
    EXPECT_EQ(badge->rect, (Rect{W + 102, 18, W + 225, 38})); // the badge less its padding
    EXPECT_EQ(badge->fill, palette::AccentLight);
    std::vector<Color> expected(6, palette::ButtonFill);
    expected[3] = palette::Accent;
    EXPECT_EQ(modeButtonFills(c), expected);

    app.settings.mode = static_cast<ControlMode>(7);
    c = paint();
    EXPECT_EQ(modeButtonFills(c), std::vector<Color>(6, palette::ButtonFill));
    // The badge says System-Auto; the System-Auto button is drawn as inactive.
    ASSERT_NE(c.findText(L"System-Auto"), nullptr);
    EXPECT_EQ(c.findText(L"System-Auto")->rect, (Rect{W + 102, 18, W + 225, 38}));
}

TEST_F(PaintWindowTest, LiveStatusShowsConnectionAndMissingFansAsZero) {
    auto c = paint(740, 800);
    const DrawCall* off = c.findText(L"Offline");
    ASSERT_NE(off, nullptr);
    EXPECT_EQ(off->fill, palette::Warning);
    EXPECT_EQ(off->at, (Point{159, 662}));
    int zeroRows = 0;
    for (const DrawCall* t : c.ofKind(Kind::TextIn))
        zeroRows += t->text == L"0 RPM" && t->rect.right == 203;
    EXPECT_EQ(zeroRows, 2);
    const DrawCall* cpu = c.findText(L"42.0 °C");
    ASSERT_NE(cpu, nullptr);
    EXPECT_EQ(cpu->rect.right, 203);
    EXPECT_EQ(cpu->rect.top, 686);
    EXPECT_EQ(cpu->font, Font::FontMono);
    auto dots = c.ofKind(Kind::Ellipse);
    ASSERT_EQ(dots.size(), 1u);
    EXPECT_EQ(dots[0]->rect, (Rect{147, 664, 155, 672}));
    EXPECT_EQ(dots[0]->fill, palette::Warning);

    auto controller = std::make_unique<RecordingController>();
    controller->connected = true;
    app.regulation.controller = std::move(controller);
    app.regulation.readings.cpuTemp = 91.25;
    c = paint(740, 800);
    ASSERT_NE(c.findText(L"Treiber OK"), nullptr);
    EXPECT_EQ(c.findText(L"Treiber OK")->fill, palette::Good);
    EXPECT_EQ(c.ofKind(Kind::Ellipse)[0]->fill, palette::Good);
    ASSERT_NE(c.findText(L"91.2 °C"), nullptr);
    EXPECT_EQ(c.findText(L"91.2 °C")->fill, palette::Critical);

    // Connected but no longer answering: an error, never "Treiber OK".
    app.regulation.readings.driverFault = true;
    c = paint(740, 800);
    EXPECT_EQ(c.findText(L"Treiber OK"), nullptr);
    ASSERT_NE(c.findText(L"Treiber-Fehler"), nullptr);
    EXPECT_EQ(c.findText(L"Treiber-Fehler")->fill, palette::Critical);
    EXPECT_EQ(c.ofKind(Kind::Ellipse)[0]->fill, palette::Critical);
}

TEST_F(PaintWindowTest, AMachineWhoseFansAreNotDrivenSaysSoInBothPlaces) {
    const struct {
        bool drives, noSource, fault;
        const wchar_t* word;
        Color color;
    } table[] = {
        {false, false, false, L"Nur Anzeige", palette::TextMuted},
        {false, true, false, L"Keine Sensoren", palette::Warning},
        {false, true, true, L"Treiber-Fehler", palette::Critical},
        {true, false, false, L"Treiber OK", palette::Good},
    };
    for (const auto& row : table) {
        auto controller = std::make_unique<RecordingController>();
        controller->connected = true;
        controller->drives = row.drives;
        controller->status = L"Nur Anzeige: AMD GPU (ADL) – keine Lüftersteuerung auf diesem PC";
        app.regulation.controller = std::move(controller);
        app.regulation.readings.quality.noSource = row.noSource;
        app.regulation.readings.driverFault = row.fault;
        app.ui.activeTab = 4;
        const auto c = paint(740, 800);
        const DrawCall* word = c.findText(row.word);
        ASSERT_NE(word, nullptr) << row.drives << row.noSource;
        EXPECT_EQ(word->fill, row.color);
        EXPECT_EQ(c.ofKind(Kind::Ellipse)[0]->fill, row.color);
        // The driver tab's status line (wrapped into its lines) takes the same colour.
        const DrawCall* status = nullptr;
        for (const DrawCall& call : c.calls)
            if (!status && call.kind == Kind::TextAt && call.text.starts_with(L"Nur Anzeige: AMD"))
                status = &call;
        if (!row.fault) {
            ASSERT_NE(status, nullptr);
            EXPECT_EQ(status->fill, row.color);
        }
    }
}

TEST_F(PaintWindowTest, ActiveTabIsHighlightedAndUnknownTabsDrawNoContent) {
    app.ui.activeTab = 2;
    auto c = paint();
    const DrawCall* active = c.findText(L"Alle Sensoren");
    ASSERT_NE(active, nullptr);
    EXPECT_EQ(active->font, Font::FontBold);
    EXPECT_EQ(active->fill, palette::White);
    EXPECT_EQ(c.findText(L"Dashboard & Lüfter")->fill, palette::TextMuted);

    app.ui.activeTab = 6;
    c = paint();
    EXPECT_EQ(ids(), kFrameIds);
    for (const DrawCall* t : c.ofKind(Kind::TextIn))
        if (t->rect.left == 24) {
            EXPECT_EQ(t->fill, palette::TextMuted) << "no tab is highlighted";
        }
    EXPECT_EQ(c.calls.back().kind, Kind::EndPaint);
    EXPECT_EQ(c.calls.front().kind, Kind::Fill);
    EXPECT_EQ(c.calls.front().fill, palette::Background);
}

// Every y of a content element: its top, its text point, its line points.
static std::vector<int> contentYs(const DrawCall& d) {
    std::vector<int> ys;
    switch (d.kind) {
    case Kind::Fill:
    case Kind::Panel:
    case Kind::Ellipse:
    case Kind::TextIn:
        ys = {d.rect.top, d.rect.bottom};
        break;
    case Kind::TextAt:
        ys = {d.at.y};
        break;
    case Kind::Line:
    case Kind::Polyline:
        for (const Point& p : d.points)
            ys.push_back(p.y);
        break;
    default:
        break;
    }
    return ys;
}

TEST_F(PaintWindowTest, NoticeMovesEveryContentElementAndRegionDownBy34) {
    twoFans();
    app.regulation.readings.sensorList = {{L"TC0P", L"CPU", L"CPU", L"°C", 50.0},
                                          {L"PWR1", L"Power", L"Power", L"W", 12.0}};
    app.inventory = {{L"Prozessor", L"CPU", palette::Accent, {{L"Kerne", L"4"}}},
                     {L"Speicher", L"RAM", palette::Good, {}}};

    app.ui.activeTab = 99; // the frame alone tells where content begins
    const std::size_t frameCalls = paint().calls.size() - 1; // without endPaint
    for (int tab = 0; tab < 6; ++tab) {
        app.ui.activeTab = tab;
        app.regulation.notice.text.clear();
        const auto plain = paint();
        const auto plainRegions = app.ui.hitRegions;
        app.regulation.notice.text = L"Modus: Leise";
        const auto noticed = paint();
        const auto noticedRegions = app.ui.hitRegions;

        ASSERT_EQ(noticed.calls.size(), plain.calls.size() + 2) << tab; // panel and text
        // The dashboard's history card, drawn last, fills the room down to the window's
        // bottom edge like the sensors card: its inside scales rather than moves.
        std::size_t end = plain.calls.size() - 1;
        for (std::size_t i = frameCalls; tab == 0 && i < end; ++i)
            if (plain.calls[i].kind == Kind::Panel && plain.calls[i].rect.bottom == 1080 - 20)
                end = i;
        for (std::size_t i = frameCalls; i < end; ++i) {
            const auto a = contentYs(plain.calls[i]);
            const auto b = contentYs(noticed.calls[i + 2]);
            ASSERT_EQ(a.size(), b.size());
            for (std::size_t k = 0; k < a.size(); ++k) {
                // The sensors card alone keeps its bottom 20 pixels above the window's.
                if (tab == 2 && i == frameCalls && k == 1) {
                    EXPECT_EQ(b[k], a[k]);
                    continue;
                }
                EXPECT_EQ(b[k], a[k] + 34) << "tab " << tab << " call " << i;
            }
        }
        ASSERT_EQ(noticedRegions.size(), plainRegions.size());
        for (std::size_t i = 0; i < plainRegions.size(); ++i) {
            const int shift = i < kFrameIds.size() ? 0 : 34;
            Rect moved = plainRegions[i].bounds;
            moved.top += shift;
            moved.bottom += shift;
            EXPECT_EQ(noticedRegions[i].bounds, moved) << "tab " << tab << " region " << i;
        }
    }
}

TEST_F(PaintWindowTest, NoticeShowsSuccessAndErrorColours) {
    const int W = 740 - 261;
    app.regulation.notice.text = L"Modus aktiviert";
    auto c = paint();
    const DrawCall* text = c.findText(L"Modus aktiviert");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->fill, palette::Good);
    EXPECT_EQ(text->at, (Point{255, 108}));
    bool okPanel = false;
    for (const DrawCall* p : c.ofKind(Kind::Panel))
        okPanel |= p->rect == Rect{243, 102, W + 243, 128} && p->fill == palette::NoticeOkFill &&
                   p->border == palette::Good;
    EXPECT_TRUE(okPanel);

    app.regulation.notice.isError = true;
    c = paint();
    EXPECT_EQ(c.findText(L"Modus aktiviert")->fill, palette::NoticeErrorText);
    bool errorPanel = false;
    for (const DrawCall* p : c.ofKind(Kind::Panel))
        errorPanel |= p->fill == palette::NoticeErrorFill && p->border == palette::Critical;
    EXPECT_TRUE(errorPanel);
}

TEST_F(PaintWindowTest, CurveTabDrawsChartGridCurveAndButtons) {
    const int W = 740 - 261;
    app.ui.activeTab = 1;
    auto c = paint();
    const Rect chart{263, 162, W + 223, 382};
    EXPECT_EQ(app.ui.chartRect, chart);
    EXPECT_EQ(ids(), with(kFrameIds, {45, 43, 44}));
    EXPECT_EQ(region(45)->bounds, chart);
    EXPECT_EQ(region(43)->bounds, (Rect{263, 402, 463, 440}));
    EXPECT_EQ(region(44)->bounds, (Rect{473, 402, 623, 440}));

    auto lines = c.ofKind(Kind::Line);
    int dotted = 0;
    for (const DrawCall* l : lines)
        dotted += l->dotted && l->fill == palette::ButtonFill;
    EXPECT_EQ(dotted, 10);
    bool topGridLine = false;
    for (const DrawCall* l : lines)
        topGridLine |=
            l->dotted && l->points[0] == Point{263, 162} && l->points[1] == Point{W + 223, 162};
    EXPECT_TRUE(topGridLine) << "the 100 % line lies on the chart's top edge";

    auto curve = c.ofKind(Kind::Polyline);
    ASSERT_EQ(curve.size(), 1u);
    EXPECT_EQ(curve[0]->width, 3);
    EXPECT_EQ(curve[0]->fill, palette::Accent);
    const int cwid = W - 40;
    // (45 °C, 0 %) and (85 °C, 100 %).
    EXPECT_EQ(curve[0]->points[0],
              (Point{263 + static_cast<int>(std::round(15.0 / 70 * cwid)), 382}));
    EXPECT_EQ(curve[0]->points[3],
              (Point{263 + static_cast<int>(std::round(55.0 / 70 * cwid)), 162}));
    ASSERT_NE(c.findText(L"P2: 60°C / 30%"), nullptr);
    const Point p2 = curve[0]->points[1];
    // Centred above its point, clear of the point's circle.
    const DrawCall* label = c.findText(L"P2: 60°C / 30%");
    const TextSize size = c.measureText(label->text, label->font);
    EXPECT_NEAR(label->at.x + size.width / 2, p2.x, 1);
    EXPECT_LE(label->at.y + size.height, p2.y - 7);

    // sliderRects and chartRect keep their values while other tabs are shown.
    app.ui.activeTab = 0;
    twoFans();
    paint();
    const auto sliders = app.ui.sliderRects;
    app.ui.activeTab = 1;
    paint();
    EXPECT_EQ(app.ui.sliderRects, sliders);
    app.ui.activeTab = 2;
    paint();
    EXPECT_EQ(app.ui.chartRect, chart);
}

TEST_F(PaintWindowTest, CurvePointsOfAnyValueBecomeSafePixels) {
    const Rect chart{263, 162, 702, 382};
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(curvePointPixel({30.0, 0.0}, chart), (Point{263, 382}));
    EXPECT_EQ(curvePointPixel({100.0, 100.0}, chart), (Point{702, 162}));
    // Outside 30..100 °C the point is still drawn, outside the chart.
    EXPECT_EQ(curvePointPixel({120.0, 50.0}, chart).x, 263 + 564);
    EXPECT_EQ(curvePointPixel({0.0, -10.0}, chart), (Point{263 - 188, 404}));
    // Values no window could show stay far outside, but within what an int and GDI take.
    EXPECT_EQ(curvePointPixel({1e300, -1e300}, chart),
              (Point{CHART_PIXEL_LIMIT, CHART_PIXEL_LIMIT}));
    EXPECT_EQ(curvePointPixel({-inf, inf}, chart), (Point{-CHART_PIXEL_LIMIT, -CHART_PIXEL_LIMIT}));
    EXPECT_EQ(curvePointPixel({nan, nan}, chart), (Point{263, 382}));

    app.ui.activeTab = 1;
    app.settings.curve = {{{1e308, 50.0}, {nan, inf}, {-1e308, -inf}, {60.0, 1e19}}};
    auto c = paint();
    auto curve = c.ofKind(Kind::Polyline);
    ASSERT_EQ(curve.size(), 1u);
    for (const Point& p : curve[0]->points) {
        EXPECT_LE(std::abs(p.x), CHART_PIXEL_LIMIT);
        EXPECT_LE(std::abs(p.y), CHART_PIXEL_LIMIT);
    }
    // The label of a huge level is cut to its buffer, not overrun.
    bool cutLabel = false;
    for (const DrawCall* t : c.ofKind(Kind::TextAt))
        cutLabel |= t->text.rfind(L"P4: 60°C / 1000", 0) == 0 && t->text.size() == 31;
    EXPECT_TRUE(cutLabel);
}
