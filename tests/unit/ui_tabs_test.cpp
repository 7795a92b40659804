#include "base/texts.h"
#include "fakes/app_fixture.h"
#include "fakes/recording_canvas.h"
#include "fakes/recording_controller.h"
#include "hardware/smc_driver_service.h"
#include "ui/paint_window.h"
#include "ui/tab_painters.h"
#include "ui/theme.h"

#include <memory>

namespace {

using Kind = DrawCall::Kind;

class UiTabsTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        app.regulation.notice.text.clear();
    }
    RecordingCanvas paint(int width, int height) {
        RecordingCanvas c;
        paintWindow(c, {0, 0, width, height}, app.ui, model());
        return c;
    }
    // The content's regions, after the twelve of the frame.
    std::vector<HitRegion> contentRegions() const {
        return {app.ui.hitRegions.begin() + 12, app.ui.hitRegions.end()};
    }
};

SensorReading sensor(int i, const wchar_t* unit, double value) {
    return {L"K" + std::to_wstring(i), L"Sensor " + std::to_wstring(i), L"Gruppe", unit, value};
}

InventorySection section(const wchar_t* title, int rows) {
    InventorySection s{title, L"Untertitel", palette::Accent, {}};
    for (int i = 0; i < rows; ++i)
        s.rows.push_back({L"Feld " + std::to_wstring(i), L"Wert " + std::to_wstring(i)});
    return s;
}

// Cards of the hardware tab, by their title's position.
std::vector<Point> cardOrigins(const RecordingCanvas& c) {
    std::vector<Point> out;
    for (const DrawCall* t : c.ofKind(Kind::TextAt))
        if (t->font == Font::FontBold && t->fill == palette::Accent)
            out.push_back({t->at.x - 14, t->at.y - 10});
    return out;
}

} // namespace

TEST_F(UiTabsTest, SensorRowsStopAboveTheCardsBottomMargin) {
    app.ui.activeTab = 2;
    for (int i = 0; i < 30; ++i)
        app.regulation.readings.sensorList.push_back(sensor(i, L"°C", 40.0));
    auto c = paint(740, 740);
    ASSERT_NE(c.findText(L"Hardware-Sensoren (30 aktiv)"), nullptr);
    ASSERT_NE(c.findText(L"K22"), nullptr);
    EXPECT_EQ(c.findText(L"K22")->at, (Point{263, 698}));
    EXPECT_EQ(c.findText(L"K23"), nullptr);
    EXPECT_EQ(c.findText(L"K0")->at, (Point{263, 170}));
    // Zebra stripes on the odd rows among 0..22.
    int stripes = 0;
    for (const DrawCall* f : c.ofKind(Kind::Fill))
        if (f->fill == palette::ButtonFill) {
            ++stripes;
            EXPECT_EQ(f->rect.left, 251);
            EXPECT_EQ(f->rect.right, 479 + 235);
        }
    EXPECT_EQ(stripes, 11);
    EXPECT_TRUE(contentRegions().empty());
    // The card reaches down to 20 pixels above the bottom whatever the rows.
    bool card = false;
    for (const DrawCall* p : c.ofKind(Kind::Panel))
        card |= p->rect == Rect{243, 102, 479 + 243, 720};
    EXPECT_TRUE(card);
}

TEST_F(UiTabsTest, SensorValueColourDependsOnTheExactUnit) {
    app.ui.activeTab = 2;
    app.regulation.readings.sensorList = {sensor(0, L"W", 95.0),   sensor(1, L"°C", 90.0),
                                          sensor(2, L"°C", 30.0),  sensor(3, L"°c", 90.0),
                                          sensor(4, L"°C ", 90.0), sensor(5, L"°", 90.0)};
    auto c = paint(740, 1080);
    const int W = 479;
    struct Case {
        const wchar_t* text;
        Color color;
    };
    for (const Case& k :
         {Case{L"95.0 W", palette::AccentLight}, Case{L"90.0 °C", palette::Critical},
          Case{L"30.0 °C", palette::Good}, Case{L"90.0 °c", palette::AccentLight},
          Case{L"90.0 °C ", palette::AccentLight}, Case{L"90.0 °", palette::AccentLight}}) {
        const DrawCall* v = c.findText(k.text);
        ASSERT_NE(v, nullptr);
        EXPECT_EQ(v->fill, k.color);
        EXPECT_EQ(v->align, TextAlign::Right);
        EXPECT_EQ(v->rect.right, W + 223);
    }
    EXPECT_EQ(c.findText(L"K0")->fill, palette::Accent);
    EXPECT_EQ(c.findText(L"K0")->font, Font::FontMono);

    app.regulation.readings.sensorList.clear();
    c = paint(740, 1080);
    EXPECT_NE(c.findText(L"Hardware-Sensoren (0 aktiv)"), nullptr);
    EXPECT_NE(c.findText(L"MESSWERT"), nullptr);
    EXPECT_EQ(c.ofKind(Kind::Fill).size(), 2u); // background and sidebar only
}

TEST_F(UiTabsTest, HardwareCardsGoToTheShorterColumn) {
    app.ui.activeTab = 3;
    const int W = 479, half = W / 2, right = 243 + half + 6;
    app.inventory = {section(L"A", 4), section(L"B", 2), section(L"C", 1)};
    auto c = paint(740, 1080);
    EXPECT_EQ(cardOrigins(c), (std::vector<Point>{{243, 102}, {right, 102}, {right, 212}}));
    bool first = false;
    for (const DrawCall* p : c.ofKind(Kind::Panel))
        first |= p->rect == Rect{243, 102, half + 237, 102 + 148};
    EXPECT_TRUE(first);

    app.inventory = {section(L"A", 2), section(L"B", 2), section(L"C", 0)};
    c = paint(740, 1080);
    EXPECT_EQ(cardOrigins(c), (std::vector<Point>{{243, 102}, {right, 102}, {243, 212}}));
    bool empty = false;
    for (const DrawCall* p : c.ofKind(Kind::Panel))
        empty |= p->rect == Rect{243, 212, half + 237, 264};
    EXPECT_TRUE(empty) << "a section without rows is a 52-pixel card";

    // Values are right-aligned 14 pixels inside the card's right edge.
    const DrawCall* value = c.findText(L"Wert 1");
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->align, TextAlign::Right);
    EXPECT_EQ(value->rect.right, half + 223);
    EXPECT_EQ(value->rect.top, 102 + 70);
    EXPECT_EQ(c.findText(L"Feld 1")->at, (Point{257, 172}));
    EXPECT_TRUE(contentRegions().empty());
}

TEST_F(UiTabsTest, HardwareCardsBelowTheWindowAreSkippedButKeepTheirPlace) {
    app.ui.activeTab = 3;
    const int right = 243 + 479 / 2 + 6;
    // A left (148 high), B right (580 high), C left at 260 (532 high, up to 802), D right
    // below B at 692.
    app.inventory = {section(L"A", 4), section(L"B", 22), section(L"C", 20), section(L"D", 1),
                     section(L"E", 1)};
    auto c = paint(740, 691);
    EXPECT_EQ(cardOrigins(c).size(), 3u);
    EXPECT_EQ(c.findText(L"D"), nullptr);
    c = paint(740, 692); // a top on the bottom edge still counts as inside
    EXPECT_EQ(cardOrigins(c),
              (std::vector<Point>{{243, 102}, {right, 102}, {243, 260}, {right, 692}}));
    c = paint(740, 2000); // E goes right again: 692 + 76 + 10 = 778 < 802
    EXPECT_EQ(cardOrigins(c).back(), (Point{right, 778}));

    app.inventory.clear();
    c = paint(740, 1080);
    EXPECT_TRUE(cardOrigins(c).empty());
}

TEST_F(UiTabsTest, DriverTabRegionsWithAndWithoutNotice) {
    app.ui.activeTab = 4;
    const int W = 479;
    for (const int shift : {0, 34}) {
        if (shift != 0)
            app.regulation.notice.text = L"Autostart aktiviert";
        paint(740, 1080);
        // The tray's rows on the options card, then the automation card below it.
        const int a = 527 + shift;
        EXPECT_EQ(contentRegions(),
                  (std::vector<HitRegion>{{{W + 63, 116 + shift, W + 227, 144 + shift}, 63, 0},
                                          {{259, 270 + shift, 297, 290 + shift}, 60, 0},
                                          {{259, 304 + shift, 297, 324 + shift}, 61, 0},
                                          {{259, 338 + shift, 297, 358 + shift}, 62, 0},
                                          {{259, 372 + shift, 297, 392 + shift}, 70, 0},
                                          {{259, 406 + shift, 297, 426 + shift}, 71, 0},
                                          {{259, 440 + shift, 277, 460 + shift}, 72, 0},
                                          {{279, 440 + shift, 297, 460 + shift}, 73, 0},
                                          {{W + 77, 471 + shift, W + 227, 497 + shift}, 74, 0},
                                          {{259, a + 40, 297, a + 60}, 80, 0},
                                          {{W + 77, a + 75, W + 227, a + 101}, 81, 0},
                                          {{W + 77, a + 107, W + 227, a + 133}, 82, 0},
                                          {{259, a + 146, 297, a + 166}, 83, 0},
                                          {{309, a + 178, 519, a + 206}, 84, 0}}));
    }
}

TEST_F(UiTabsTest, DriverTabShowsBackendStateAndOptions) {
    app.ui.activeTab = 4;
    app.identity.manufacturer.clear();
    app.identity.product.clear();
    app.settings.autostartEnabled = true;
    app.settings.startMinimized = false;
    app.settings.resetFansOnExit = true;
    app.settings.tray.notifications = false;
    app.settings.tray.alarmCelsius = 95;
    app.settings.automation.csvLog = true;
    app.settings.automation.batteryMode = ControlMode::Max;
    auto c = paint(740, 1080);
    ASSERT_NE(c.findText(L"Treiber nicht initialisiert"), nullptr);
    EXPECT_EQ(c.findText(L"Treiber nicht initialisiert")->fill, palette::Warning);
    EXPECT_NE(c.findText(L"Erkanntes Backend: Keins"), nullptr);
    EXPECT_NE(c.findText(L"Hersteller:  · Modell: "), nullptr);
    // Switch tracks in region order 60, 61, 62, 70, 71, 80, 83: on, off, on, on, off, off, on;
    // the alarm's temperature between its two buttons.
    std::vector<Color> tracks;
    for (const DrawCall* p : c.ofKind(Kind::Panel))
        if (p->rect.left == 259 && p->rect.width() == 38)
            tracks.push_back(p->fill);
    EXPECT_EQ(tracks, (std::vector<Color>{palette::Accent, palette::ToggleOff, palette::Accent,
                                          palette::Accent, palette::ToggleOff, palette::ToggleOff,
                                          palette::Accent}));
    EXPECT_NE(c.findText(L"Temperatur im Tray-Symbol anzeigen"), nullptr);
    bool alarm = false;
    for (const DrawCall* t : c.ofKind(Kind::TextAt))
        alarm |= t->text.rfind(L"Temperatur-Alarm ab 95 °C", 0) == 0;
    EXPECT_TRUE(alarm);
    // The language chosen, the modes chosen for battery and mains power, right of their labels,
    // and the button.
    std::vector<std::wstring> pickers;
    for (const DrawCall* t : c.ofKind(Kind::TextIn))
        if (t->rect.left >= 479 + 77 && t->rect.top > 400)
            pickers.push_back(t->text);
    EXPECT_EQ(pickers,
              (std::vector<std::wstring>{L"Automatisch", L"Maximal (Turbo)", L"System-Auto"}));
    EXPECT_NE(c.findText(L"Im Akkubetrieb"), nullptr);
    EXPECT_NE(c.findText(L"Protokollordner öffnen"), nullptr);
    bool footprint = false;
    for (const DrawCall* t : c.ofKind(Kind::TextAt))
        footprint |= t->text.rfind(L"Ressourcenverbrauch: ~2 MB RAM · ", 0) == 0;
    EXPECT_TRUE(footprint);

    auto controller = std::make_unique<RecordingController>();
    controller->status = L"Treiber verbunden";
    controller->name = L"Testgerät";
    controller->connected = true;
    app.regulation.controller = std::move(controller);
    app.identity = SystemIdentity{};
    c = paint(740, 1080);
    EXPECT_EQ(c.findText(L"Treiber verbunden")->fill, palette::Good);
    EXPECT_NE(c.findText(L"Erkanntes Backend: Testgerät"), nullptr);
    EXPECT_NE(c.findText(L"Hersteller: Generic PC · Modell: Standard System"), nullptr);

    static_cast<RecordingController*>(app.regulation.controller.get())->connected = false;
    c = paint(740, 1080);
    EXPECT_EQ(c.findText(L"Treiber verbunden")->fill, palette::Warning);
    EXPECT_EQ(c.findText(text(TextId::DriverRefused)), nullptr);

    // Why the driver was not installed: a warning below the card's other lines, wrapped
    // inside the card when it does not fit on one.
    static_cast<RecordingController*>(app.regulation.controller.get())->note =
        text(TextId::DriverRefused);
    c = paint(740, 1080);
    const std::wstring noteText = text(TextId::DriverRefused);
    const DrawCall* note = nullptr;
    for (const DrawCall* t : c.ofKind(Kind::TextAt))
        if (!t->text.empty() && noteText.rfind(t->text, 0) == 0 && note == nullptr)
            note = t;
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->fill, palette::Warning);
    EXPECT_EQ(note->at.x, 259);
    EXPECT_GT(note->at.y, c.findText(L"Erkanntes Backend: Testgerät")->at.y);
}

TEST_F(UiTabsTest, AboutTabHasNoRegionsAndItsFixedTexts) {
    app.ui.activeTab = 5;
    auto c = paint(740, 1080);
    EXPECT_TRUE(contentRegions().empty());
    const DrawCall* title = c.findText(L"Ventrasol Universal for Windows");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->font, Font::FontTitle);
    EXPECT_EQ(title->at, (Point{259, 116}));
    EXPECT_NE(c.findText(L"Version 2.0.0 (x64 Native Multi-Vendor Build)"), nullptr);
    // Only what the program does: no SMM, no AMD driver access, nothing cut or run off.
    std::wstring all;
    for (const DrawCall* t : c.ofKind(Kind::TextAt))
        all += t->text + L" ";
    EXPECT_NE(all.find(L"NVIDIA NvAPI"), std::wstring::npos);
    EXPECT_NE(all.find(L"applesmc.sys"), std::wstring::npos);
    EXPECT_EQ(all.find(L"SMM"), std::wstring::npos);
    EXPECT_EQ(all.find(L"AMD"), std::wstring::npos);
    EXPECT_EQ(c.findText(L"Über Ventrasol")->fill, palette::White); // its sidebar entry
}

TEST_F(UiTabsTest, ValuesThatAreNoMeasurementsSaySo) {
    app.regulation.readings.fanList = {makeFan(0, 1000, 5000, 2100), makeFan(1, 1000, 5000, 4600)};
    app.regulation.readings.sensorList = {{L"TZ00", L"Zone", L"ACPI", L"°C", 47.0, true}};
    auto controller = std::make_unique<RecordingController>();
    controller->connected = true;
    controller->status = L"Bereit";
    app.regulation.controller = std::move(controller);
    struct Case {
        const char* what;
        void (*set)(AppState&);
        std::vector<const wchar_t*> shown; // on the dashboard or, for the driver, its tab
        int tab;
    } cases[] = {
        {"stand-in temperatures",
         [](AppState& app) {
             app.regulation.readings.quality = {true, true, false};
         },
         {L"--", L"kein Sensor"},
         0},
        {"estimated power",
         [](AppState& app) { app.regulation.readings.quality.powerEstimated = true; },
         {L"~25 W", L"geschätzt"},
         0},
        {"lost CPU temperature",
         [](AppState& app) { app.regulation.readings.cpuTempLost = true; },
         {L"--"},
         0},
        {"commanded fan speed",
         [](AppState& app) { app.regulation.readings.fanList[0].measured = false; },
         {L"Sollwert (nicht gemessen)", L"2100 RPM"},
         0},
        {"lost sensor row", [](AppState&) {}, {L"--"}, 2},
        {"a zone that never changes",
         [](AppState& app) {
             app.regulation.readings.sensorList[0].lost = false;
             app.regulation.readings.sensorList[0].unchanging = true;
         },
         {L"Zone", L" · unverändert seit 10 min"},
         2},
        {"fans of a PC that drives none",
         [](AppState& app) {
             static_cast<RecordingController*>(app.regulation.controller.get())->drives = false;
             app.regulation.readings.fanList[0].measured = false;
         },
         {L"nicht gesteuert", L"nur gemessen"},
         0},
        {"driver fault",
         [](AppState& app) { app.regulation.readings.driverFault = true; },
         {L"Treiber-Fehler"},
         0},
    };
    for (const Case& c : cases) {
        app.regulation.readings.quality = {};
        app.regulation.readings.cpuTempLost = app.regulation.readings.driverFault = false;
        app.regulation.readings.fanList[0].measured = true;
        app.regulation.readings.sensorList[0].lost = true;
        app.regulation.readings.sensorList[0].unchanging = false;
        static_cast<RecordingController*>(app.regulation.controller.get())->drives = true;
        c.set(app);
        app.ui.activeTab = c.tab;
        auto canvas = paint(740, 1080);
        for (const wchar_t* text : c.shown)
            EXPECT_NE(canvas.findText(text), nullptr) << c.what;
    }
    // The value of a zone that never changes is not shown as a reading's colour.
    app.regulation.readings.sensorList[0] = {L"TZ00", L"Zone", L"ACPI", L"°C", 90.0};
    app.regulation.readings.sensorList[0].unchanging = true;
    app.ui.activeTab = 2;
    EXPECT_EQ(paint(740, 1080).findText(L"90.0 °C")->fill, palette::TextMuted);
    // A commanded speed never looks like a reading: no large "2100 RPM".
    app.regulation.readings.fanList[0].measured = false;
    app.ui.activeTab = 0;
    auto canvas = paint(740, 1080);
    EXPECT_EQ(canvas.findText(L"2100 RPM")->font, Font::FontBold);
    EXPECT_EQ(canvas.findText(L"Treiber-Fehler")->fill, palette::Critical);
    app.ui.activeTab = 4;
    canvas = paint(740, 1080);
    bool faultStatus = false;
    for (const DrawCall* t : canvas.ofKind(Kind::TextAt))
        faultStatus |= t->text.rfind(L"Treiber-Fehler", 0) == 0 && t->fill == palette::Critical;
    EXPECT_TRUE(faultStatus) << "the driver tab's status shows the fault as an error";
}
