#include "app/app_tick.h"
#include "app/tray.h"
#include "app/tray_notifications.h"
#include "fakes/app_fixture.h"
#include "fakes/recording_controller.h"
#include "regulation/fan_guard.h"

#include <string>
#include <vector>

namespace {

constexpr std::int64_t SECOND = 1000;
constexpr std::int64_t MINUTE = 60 * SECOND;

RegulationEvent handedBack(HandBackReason reason, const wchar_t* text) {
    return {RegulationEventKind::HandedBack, ControlMode::Quiet, reason, true, 96.0, text};
}

RegulationEvent eventOf(RegulationEventKind kind) {
    RegulationEvent event;
    event.kind = kind;
    return event;
}

class NotificationTest : public FakeAppTest {
protected:
    void SetUp() override {
        FakeAppTest::SetUp();
        addTrayIcon(app.trayIcon);
        auto backend = std::make_unique<RecordingController>();
        app.regulation.controller = std::move(backend);
        app.regulation.safety.cpuAge = app.regulation.safety.gpuAge = 0;
        app.regulation.readings.cpuTemp = 50;
        app.regulation.readings.gpuTemp = 40;
    }
    // One tick's worth of notifications at the given time, with these events.
    void at(std::int64_t ms, std::vector<RegulationEvent> events = {}) {
        app.regulation.events = std::move(events);
        notifyEvents(app.notifications, app.regulation, app.settings, ms);
    }
    std::vector<std::wstring> titles() const {
        std::vector<std::wstring> out;
        for (const TrayBalloon& b : host.balloons)
            out.push_back(b.title);
        return out;
    }
    // A driven fan: fan 0 of 1200..6000 commanded at 2000 RPM, reading rpm.
    void drivenFan(double rpm) {
        app.settings.mode = ControlMode::Manual;
        app.regulation.readings.fanList = {makeFan(0, 1200, 6000, rpm),
                                           makeFan(1, 1000, 5000, 2000)};
        app.regulation.safety.commandedRpm = {2000, 2000, -1, -1};
    }
};

} // namespace

TEST(NotificationForEventTest, EachHandBackFailureAndFaultHasItsCauseTitleAndSymbol) {
    const struct {
        RegulationEvent event;
        NotificationCause cause;
        const wchar_t* title; // nullptr: no notification
        TrayBalloonKind kind;
        const wchar_t* text;
    } cases[] = {
        {handedBack(HandBackReason::OverTemperature, L"Übertemperatur (96 °C): …"),
         NotificationCause::OverTemperature, L"Übertemperatur – Lüfter zurückgegeben",
         TrayBalloonKind::Warning, L"Übertemperatur (96 °C): …"},
        {handedBack(HandBackReason::TemperatureLost, L"lost"), NotificationCause::TemperatureLost,
         L"Temperatur nicht lesbar – Lüfter zurückgegeben", TrayBalloonKind::Warning, L"lost"},
        {handedBack(HandBackReason::NeverMeasured, L"never"), NotificationCause::NeverMeasured,
         L"Keine Temperatur – Lüfter zurückgegeben", TrayBalloonKind::Warning, L"never"},
        {handedBack(HandBackReason::LeftoverAtConnect, L""), NotificationCause::LeftoverAtConnect,
         L"Lüfter zurückgegeben", TrayBalloonKind::Info, L"Lüfter zurückgegeben"},
        {{RegulationEventKind::HandBackFailing, ControlMode::SystemAuto, HandBackReason::None,
          false, 0, L"retry"},
         NotificationCause::HandBackFailing,
         L"Lüfter-Übergabe scheitert",
         TrayBalloonKind::Error,
         L"retry"},
        {eventOf(RegulationEventKind::DriverFault), NotificationCause::DriverFault,
         L"Treiber-Fehler", TrayBalloonKind::Error,
         L"Die Hardware antwortet nicht mehr: Temperaturen und Lüfterdrehzahlen sind nicht "
         L"aktuell."},
        {eventOf(RegulationEventKind::DriverRecovered), {}, nullptr, {}, nullptr},
        {eventOf(RegulationEventKind::ModeApplied), {}, nullptr, {}, nullptr},
        {handedBack(HandBackReason::None, L"x"), {}, nullptr, {}, nullptr},
    };
    for (const auto& c : cases) {
        NotificationCause cause{};
        TrayBalloon balloon;
        const bool told = notificationForEvent(c.event, &cause, &balloon);
        ASSERT_EQ(told, c.title != nullptr) << static_cast<int>(c.event.kind);
        if (!told)
            continue;
        EXPECT_EQ(cause, c.cause);
        EXPECT_EQ(balloon, (TrayBalloon{c.title, c.text, c.kind}));
    }
}

TEST_F(NotificationTest, EachCauseSpeaksAtMostOnceInTenMinutesAndNotAtAllWhenTurnedOff) {
    const RegulationEvent hot = handedBack(HandBackReason::OverTemperature, L"heiß");
    const RegulationEvent leftover = handedBack(HandBackReason::LeftoverAtConnect, L"übrig");
    at(0, {hot, hot});
    at(MINUTE, {hot, leftover});
    at(NOTIFICATION_INTERVAL_MS - 1, {hot});
    EXPECT_EQ(titles(), (std::vector<std::wstring>{L"Übertemperatur – Lüfter zurückgegeben",
                                                   L"Lüfter zurückgegeben"}));
    at(NOTIFICATION_INTERVAL_MS, {hot});
    EXPECT_EQ(host.balloons.size(), 3u);

    // Turned off, nothing is said and nothing is used up.
    app.settings.tray.notifications = false;
    at(3 * NOTIFICATION_INTERVAL_MS, {hot, leftover});
    EXPECT_EQ(host.balloons.size(), 3u);
    app.settings.tray.notifications = true;
    at(3 * NOTIFICATION_INTERVAL_MS + SECOND, {leftover});
    EXPECT_EQ(host.balloons.size(), 4u);

    // A notification the shell did not take is no reason to stay silent later.
    host.trayResult = false;
    at(5 * NOTIFICATION_INTERVAL_MS, {hot});
    host.trayResult = true;
    at(5 * NOTIFICATION_INTERVAL_MS + SECOND, {hot});
    EXPECT_EQ(host.balloons.size(), 5u);
}

TEST_F(NotificationTest, AnAlarmNeedsFiveSecondsAtTheThresholdInAnyModeAndIsToldOncePerEpisode) {
    app.settings.mode = ControlMode::SystemAuto;
    app.settings.tray.alarmCelsius = 85;
    app.regulation.readings.gpuTemp = 85; // reaching it is enough
    at(0);
    at(4 * SECOND);
    EXPECT_TRUE(host.balloons.empty());
    at(5 * SECOND);
    ASSERT_EQ(host.balloons.size(), 1u);
    EXPECT_EQ(host.balloons[0],
              (TrayBalloon{L"Temperatur-Alarm",
                           L"GPU-Temperatur 85 °C – seit 5 Sekunden an oder über der "
                           L"Alarmschwelle von 85 °C.",
                           TrayBalloonKind::Warning}));
    at(20 * MINUTE); // still hot: already told
    EXPECT_EQ(host.balloons.size(), 1u);

    // Cool, then hot again within the ten minutes: told when they are over, if still hot.
    app.regulation.readings.gpuTemp = 84.9;
    at(21 * MINUTE);
    app.regulation.readings.cpuTemp = 99;
    at(22 * MINUTE);
    at(22 * MINUTE + 5 * SECOND);
    EXPECT_EQ(host.balloons.size(), 2u);
    app.regulation.readings.cpuTemp = 50;
    at(23 * MINUTE);
    app.regulation.readings.cpuTemp = 90;
    at(24 * MINUTE);
    at(30 * MINUTE);
    EXPECT_EQ(host.balloons.size(), 2u);
    at(32 * MINUTE + 5 * SECOND);
    EXPECT_EQ(host.balloons.size(), 3u);

    // Values that are no readings raise no alarm.
    app.notifications = TrayNotificationState{};
    app.regulation.readings.cpuTempLost = true;
    app.regulation.readings.quality.gpuTempFallback = true;
    app.regulation.readings.gpuTemp = 100;
    at(40 * MINUTE);
    at(41 * MINUTE);
    EXPECT_EQ(host.balloons.size(), 3u);
}

TEST_F(NotificationTest, AStallIsADrivenMeasuredFanBelowHalfItsMinimum) {
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
        {"not commanded", [](AppState& a) { a.regulation.safety.commandedRpm[0] = -1; }, false},
        {"speed not measured",
         [](AppState& a) { a.regulation.readings.fanList[0].measured = false; }, false},
        {"System-Auto", [](AppState& a) { a.settings.mode = ControlMode::SystemAuto; }, false},
        {"driver fault", [](AppState& a) { a.regulation.readings.driverFault = true; }, false},
        {"suspended", [](AppState& a) { a.regulation.safety.suspended = true; }, false},
        {"no backend", [](AppState& a) { a.regulation.controller.reset(); }, false},
    };
    for (const auto& c : cases) {
        drivenFan(599);
        app.regulation.readings.driverFault = false;
        app.regulation.safety.suspended = false;
        if (!app.regulation.controller)
            app.regulation.controller = std::make_unique<RecordingController>();
        c.change(app);
        EXPECT_EQ(fanStalled(app.regulation, app.settings, 0), c.stalled) << c.what;
        EXPECT_FALSE(fanStalled(app.regulation, app.settings, 1)) << c.what;
        EXPECT_FALSE(fanStalled(app.regulation, app.settings, 2)) << c.what;
    }

    // Five seconds of it, and the balloon names the fan and its speeds.
    app.regulation.controller = std::make_unique<RecordingController>();
    drivenFan(0);
    at(0);
    at(4 * SECOND);
    drivenFan(700); // turns again: the episode starts over
    at(5 * SECOND);
    drivenFan(0);
    at(6 * SECOND);
    at(10 * SECOND);
    EXPECT_TRUE(host.balloons.empty());
    at(11 * SECOND);
    ASSERT_EQ(host.balloons.size(), 1u);
    EXPECT_EQ(host.balloons[0].title, L"Lüfter dreht nicht");
    EXPECT_EQ(host.balloons[0].text, L"Lüfter 1 dreht mit 0 RPM, obwohl 2000 RPM angefordert sind "
                                     L"(Minimum 1200 RPM). Ist er blockiert oder defekt?");
    // The other fan is a cause of its own.
    app.regulation.readings.fanList[1].currentRpm = 100;
    at(12 * SECOND);
    at(17 * SECOND);
    EXPECT_EQ(host.balloons.size(), 2u);
    EXPECT_EQ(host.balloons[1].text.rfind(L"Lüfter 2 ", 0), 0u);
}

TEST_F(NotificationTest, TheTickTellsWhatItsRegulationDidAndThenForgetsIt) {
    auto* backend = static_cast<RecordingController*>(app.regulation.controller.get());
    backend->fanChannels = {makeFan(0, 1200, 6000, 2000)};
    backend->fanChannels[0].manual = true; // left forced by an earlier run
    app.regulation.readings.fanList = backend->fanChannels;
    reconcileFansAtConnect(app.regulation, app.settings);
    ASSERT_EQ(app.regulation.events.size(), 1u);
    backend->fanChannels[0].manual = false;
    tickApp(app);
    ASSERT_EQ(host.balloons.size(), 1u);
    EXPECT_EQ(host.balloons[0].title, L"Lüfter zurückgegeben");
    EXPECT_TRUE(app.regulation.events.empty());
    tickApp(app);
    EXPECT_EQ(host.balloons.size(), 1u);

    // Without an icon there is no one to tell.
    removeTrayIcon(app.trayIcon);
    app.regulation.events = {handedBack(HandBackReason::TemperatureLost, L"lost")};
    tickApp(app);
    EXPECT_EQ(host.balloons.size(), 1u);
    EXPECT_TRUE(app.regulation.events.empty());
}
