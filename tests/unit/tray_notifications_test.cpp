#include "app/tray.h"
#include "fakes/app_fixture.h"
#include "fakes/recording_controller.h"

namespace {

constexpr std::int64_t SECOND = 1000, MINUTE = 60 * SECOND;

RegulationEvent eventOf(RegulationEventKind kind, HandBackReason reason = HandBackReason::None,
                        const wchar_t* text = L"") {
    RegulationEvent event;
    event.kind = kind;
    event.reason = reason;
    event.text = text;
    return event;
}

class NotificationTest : public FakeAppTest {
protected:
    void SetUp() override {
        FakeAppTest::SetUp();
        addTrayIcon(app.trayIcon);
        app.regulation.controller = std::make_unique<RecordingController>();
        app.regulation.safety.cpuAge = app.regulation.safety.gpuAge = 0;
        app.regulation.readings.cpuTemp = 50;
        app.regulation.readings.gpuTemp = 40;
    }
    void at(std::int64_t ms, std::vector<RegulationEvent> events = {}) {
        app.regulation.events = std::move(events);
        notifyEvents(app.notifications, app.regulation, app.settings, true, ms);
    }
    // Fan 0 of 1200..6000 and fan 1 of 1000..5000, both commanded at 2000 RPM.
    void drivenFans(double rpm0, double rpm1 = 2000) {
        app.settings.mode = ControlMode::Manual;
        app.regulation.readings.fanList = {makeFan(0, 1200, 6000, rpm0),
                                           makeFan(1, 1000, 5000, rpm1)};
        app.regulation.safety.commandedRpm = {2000, 2000, -1, -1};
        app.regulation.readings.driverFault = app.regulation.safety.suspended = false;
    }
};

} // namespace

TEST(NotificationForEventTest, EachHandBackFailureAndFaultHasItsCauseTitleAndSymbol) {
    using K = RegulationEventKind;
    using R = HandBackReason;
    const struct {
        RegulationEvent event;
        const wchar_t* title; // nullptr: no notification
        TrayBalloonKind kind;
    } cases[] = {
        {eventOf(K::HandedBack, R::OverTemperature, L"t"), L"Übertemperatur – Lüfter zurückgegeben",
         TrayBalloonKind::Warning},
        {eventOf(K::HandedBack, R::TemperatureLost, L"t"),
         L"Temperatur nicht lesbar – Lüfter zurückgegeben", TrayBalloonKind::Warning},
        {eventOf(K::HandedBack, R::NeverMeasured, L"t"), L"Keine Temperatur – Lüfter zurückgegeben",
         TrayBalloonKind::Warning},
        {eventOf(K::HandedBack, R::LeftoverAtConnect, L"t"), L"Lüfter zurückgegeben",
         TrayBalloonKind::Info},
        {eventOf(K::HandBackFailing, R::None, L"t"), L"Lüfter-Übergabe scheitert",
         TrayBalloonKind::Error},
        {eventOf(K::DriverFault), L"Treiber-Fehler", TrayBalloonKind::Error},
        {eventOf(K::DriverRecovered), nullptr, {}},
        {eventOf(K::ModeApplied, R::None, L"t"), nullptr, {}},
        {eventOf(K::HandedBack, R::None, L"t"), nullptr, {}},
    };
    for (const auto& c : cases) {
        NotificationCause cause{};
        TrayBalloon balloon;
        ASSERT_EQ(notificationForEvent(c.event, &cause, &balloon), c.title != nullptr) << c.title;
        if (c.title == nullptr)
            continue;
        EXPECT_EQ(balloon.title, c.title);
        EXPECT_EQ(balloon.kind, c.kind);
        // The notice's text says why; a fault, which has none, has its own.
        EXPECT_EQ(balloon.text, c.event.kind == K::DriverFault
                                    ? L"Die Hardware antwortet nicht mehr: Temperaturen und "
                                      L"Lüfterdrehzahlen sind nicht aktuell."
                                    : L"t");
    }
}

TEST_F(NotificationTest, EachCauseSpeaksAtMostOnceInTenMinutesAndNotAtAllWhenTurnedOff) {
    const RegulationEvent hot =
        eventOf(RegulationEventKind::HandedBack, HandBackReason::OverTemperature);
    const RegulationEvent fault = eventOf(RegulationEventKind::DriverFault);
    at(0, {hot, hot});
    at(MINUTE, {hot, fault}); // another cause speaks
    at(NOTIFICATION_INTERVAL_MS - 1, {hot});
    EXPECT_EQ(host.balloons.size(), 2u);
    at(NOTIFICATION_INTERVAL_MS, {hot});
    EXPECT_EQ(host.balloons.size(), 3u);
    // Turned off, nothing is said and nothing is used up; a balloon the shell refused neither.
    app.settings.tray.notifications = false;
    at(3 * NOTIFICATION_INTERVAL_MS, {hot});
    app.settings.tray.notifications = true;
    host.trayResult = false;
    at(3 * NOTIFICATION_INTERVAL_MS, {hot});
    host.trayResult = true;
    at(3 * NOTIFICATION_INTERVAL_MS, {hot});
    EXPECT_EQ(host.balloons.size(), 4u);
}

TEST_F(NotificationTest, AnAlarmNeedsFiveSecondsAtTheThresholdInAnyModeAndIsToldOncePerEpisode) {
    app.settings.tray.alarmCelsius = 85;
    app.regulation.readings.gpuTemp = 85; // System-Auto, and reaching it is enough
    at(0);
    at(4 * SECOND);
    EXPECT_TRUE(host.balloons.empty());
    at(5 * SECOND);
    ASSERT_EQ(host.balloons.size(), 1u);
    EXPECT_EQ(host.balloons[0], (TrayBalloon{L"Temperatur-Alarm",
                                             L"GPU-Temperatur 85 °C – seit 5 Sekunden an oder über "
                                             L"der Alarmschwelle von 85 °C.",
                                             TrayBalloonKind::Warning}));
    // Cool, then hot again within ten minutes of the last: told when they are over, once.
    app.regulation.readings.gpuTemp = 84.9;
    at(MINUTE);
    app.regulation.readings.cpuTemp = 90;
    at(2 * MINUTE);
    at(10 * MINUTE + 4 * SECOND);
    EXPECT_EQ(host.balloons.size(), 1u);
    at(10 * MINUTE + 5 * SECOND);
    at(30 * MINUTE);
    EXPECT_EQ(host.balloons.size(), 2u);
    // Values that are no readings raise none.
    app.notifications = TrayNotificationState{};
    app.regulation.readings.cpuTempLost = true;
    app.regulation.readings.quality.gpuTempFallback = true;
    app.regulation.readings.gpuTemp = 100;
    at(40 * MINUTE);
    at(41 * MINUTE);
    EXPECT_EQ(host.balloons.size(), 2u);
}

TEST_F(NotificationTest, AStallIsADrivenMeasuredFanBelowHalfItsMinimumForFiveSeconds) {
    const struct {
        const char* what;
        void (*change)(AppState&);
        bool stalled;
    } cases[] = {
        {"below half the minimum", [](AppState&) {}, true},
        {"at half the minimum",
         [](AppState& a) { a.regulation.readings.fanList[0].currentRpm = 600; }, false},
        {"commanded below the minimum",
         [](AppState& a) { a.regulation.safety.commandedRpm[0] = 1199; }, false},
        {"speed not measured",
         [](AppState& a) { a.regulation.readings.fanList[0].measured = false; }, false},
        {"System-Auto", [](AppState& a) { a.settings.mode = ControlMode::SystemAuto; }, false},
        {"driver fault", [](AppState& a) { a.regulation.readings.driverFault = true; }, false},
        {"suspended", [](AppState& a) { a.regulation.safety.suspended = true; }, false},
        {"commands only recorded", [](AppState&) {}, false},
    };
    for (const auto& c : cases) {
        AppState& a = app;
        drivenFans(599);
        c.change(a);
        const bool driven = std::string(c.what) != "commands only recorded";
        EXPECT_EQ(fanStalled(a.regulation, a.settings, driven, 0), c.stalled) << c.what;
        EXPECT_FALSE(fanStalled(a.regulation, a.settings, driven, 1) ||
                     fanStalled(a.regulation, a.settings, driven, 2));
    }
    drivenFans(0);
    at(0);
    drivenFans(700); // turns again: the five seconds start over
    at(4 * SECOND);
    drivenFans(0, 100); // and each fan is a cause of its own
    at(5 * SECOND);
    at(9 * SECOND);
    EXPECT_TRUE(host.balloons.empty());
    at(10 * SECOND);
    ASSERT_EQ(host.balloons.size(), 2u);
    EXPECT_EQ(host.balloons[0],
              (TrayBalloon{L"Lüfter dreht nicht",
                           L"Lüfter 1 dreht mit 0 RPM, obwohl 2000 RPM angefordert "
                           L"sind (Minimum 1200 RPM). Ist er blockiert oder defekt?",
                           TrayBalloonKind::Warning}));
    EXPECT_EQ(host.balloons[1].text.rfind(L"Lüfter 2 dreht mit 100 RPM", 0), 0u);
}
