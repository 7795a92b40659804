#include "fakes/recording_controller.h"
#include "fakes/regulation_fixture.h"
#include "regulation/control_modes.h"
#include "settings/registry_settings.h"

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

namespace {

using RpmCall = RecordingController::RpmCall;

class ControlModesTest : public RegulationTest {
protected:
    // A backend with these fans, and the same fans already polled into fanList.
    RecordingController& install(std::vector<FanChannel> fans) {
        auto backend = std::make_unique<RecordingController>();
        backend->fanChannels = fans;
        RecordingController& ref = *backend;
        regulation.controller = std::move(backend);
        regulation.readings.fanList = std::move(fans);
        // As after the tick that follows a connect: the temperatures were measured.
        regulation.safety.cpuAge = regulation.safety.gpuAge = 0;
        return ref;
    }
    std::uint32_t savedProfile() const {
        return registry.dword(RegistryRoot::CurrentUser, SETTINGS_KEY_PATH, L"ActiveProfile")
            .value_or(0xDEAD);
    }
};

const std::vector<FanChannel> TWO_FANS = {makeFan(0, 1829, 5779), makeFan(1, 1692, 5343)};

} // namespace

TEST(ControlModeNameTest, EveryModeAndAnythingElse) {
    EXPECT_STREQ(controlModeName(ControlMode::SystemAuto), L"System-Auto");
    EXPECT_STREQ(controlModeName(ControlMode::Curve), L"Temperatur-Kurve");
    EXPECT_STREQ(controlModeName(ControlMode::Quiet), L"Leise");
    EXPECT_STREQ(controlModeName(ControlMode::Balanced), L"Ausgewogen");
    EXPECT_STREQ(controlModeName(ControlMode::Max), L"Maximal (Turbo)");
    EXPECT_STREQ(controlModeName(ControlMode::Manual), L"Manuell (RPM)");
    EXPECT_STREQ(controlModeName(static_cast<ControlMode>(6)), L"System-Auto");
    EXPECT_STREQ(controlModeName(static_cast<ControlMode>(-1)), L"System-Auto");
}

TEST_F(ControlModesTest, ProfilesUseEachFansOwnRangeRoundedHalfAway) {
    RecordingController& backend = install(TWO_FANS);
    applyControlMode(regulation, settings, ControlMode::Quiet);
    EXPECT_EQ(backend.rpmCalls, (std::vector<RpmCall>{{0, 2422}, {1, 2240}}));
    EXPECT_EQ(regulation.notice.text, L"Profil 'Leise' aktiviert (~15 % Lüfterleistung).");

    backend.rpmCalls.clear();
    applyControlMode(regulation, settings, ControlMode::Balanced);
    EXPECT_EQ(backend.rpmCalls, (std::vector<RpmCall>{{0, 3804}, {1, 3518}}));
    EXPECT_EQ(regulation.notice.text, L"Profil 'Ausgewogen' aktiviert (~50 % Lüfterleistung).");

    backend.rpmCalls.clear();
    regulation.readings.fanList[1].maxRpm = 5343.5; // the maximum is sent as it is, not rounded
    applyControlMode(regulation, settings, ControlMode::Max);
    EXPECT_EQ(backend.rpmCalls, (std::vector<RpmCall>{{0, 5779}, {1, 5343.5}}));
    EXPECT_EQ(regulation.notice.text, L"Profil 'Maximal (Turbo)' aktiviert (100 % Kühlung).");
    EXPECT_EQ(savedProfile(), 4u);
    EXPECT_EQ(host.count("invalidate 0"), 3);
    EXPECT_EQ(std::count(backend.calls.begin(), backend.calls.end(), "setFanPercent"), 0);
}

TEST_F(ControlModesTest, APcThatDrivesNoFanRecordsTheModeAndSaysItOnlyShows) {
    const wchar_t* const tail = L" gewählt – dieser PC erlaubt keine Lüftersteuerung, es wird nur "
                                L"angezeigt.";
    const struct {
        ControlMode mode;
        const wchar_t* what; // nullptr: the usual notice
    } table[] = {
        {ControlMode::Quiet, L"Profil 'Leise'"},
        {ControlMode::Balanced, L"Profil 'Ausgewogen'"},
        {ControlMode::Max, L"Profil 'Maximal (Turbo)'"},
        {ControlMode::Curve, L"Modus 'Temperatur-Kurve'"},
        {ControlMode::Manual, L"Modus 'Manuell (RPM)'"},
        {ControlMode::SystemAuto, nullptr}, // the firmware does control the fans
    };
    RecordingController& backend = install(TWO_FANS);
    backend.drives = false;
    for (const auto& row : table) {
        backend.rpmCalls.clear();
        applyControlMode(regulation, settings, row.mode);
        if (row.what)
            EXPECT_EQ(regulation.notice.text, std::wstring(row.what) + tail);
        else
            EXPECT_EQ(regulation.notice.text,
                      L"System-Automatik aktiv (Lüftersteuerung durch BIOS/Hardware).");
        EXPECT_FALSE(regulation.notice.isError);
        // Recorded and saved as today: the speeds go to the backend as targets.
        EXPECT_EQ(savedProfile(), static_cast<std::uint32_t>(row.mode));
        EXPECT_EQ(backend.rpmCalls.empty(), row.mode == ControlMode::SystemAuto);
    }
    // A failure still says that it failed.
    backend.setFanRpmResults = {false};
    applyControlMode(regulation, settings, ControlMode::Quiet);
    EXPECT_TRUE(regulation.notice.isError);
}

TEST_F(ControlModesTest, WithoutFansEveryModeStillSetsItsNoticeSavesAndRepaints) {
    RecordingController& backend = install({});
    const ControlMode modes[] = {ControlMode::Quiet, ControlMode::Balanced, ControlMode::Max,
                                 ControlMode::Manual, ControlMode::Curve};
    for (ControlMode mode : modes) {
        regulation.notice.text.clear();
        applyControlMode(regulation, settings, mode);
        EXPECT_FALSE(regulation.notice.text.empty());
        EXPECT_EQ(savedProfile(), static_cast<std::uint32_t>(mode));
    }
    EXPECT_TRUE(backend.rpmCalls.empty());
    EXPECT_EQ(host.count("invalidate 0"), 5);
    EXPECT_EQ(regulation.notice.text,
              L"Temperatur-Kurve aktiv (dynamische Regelung mit 45 RPM Hysterese).");
}

TEST_F(ControlModesTest, ManualCommandsTheFirstTwoFansOnlyAndShowsBothSpeeds) {
    RecordingController& backend = install({makeFan(0, 1000, 6000)});
    settings.manualRpm = {2500, 3100};
    applyControlMode(regulation, settings, ControlMode::Manual);
    EXPECT_EQ(backend.rpmCalls, (std::vector<RpmCall>{{0, 2500}}));
    EXPECT_EQ(regulation.notice.text,
              L"Manuelle Steuerung aktiv (Lüfter 1: 2500 RPM · Lüfter 2: 3100 RPM).");

    RecordingController& three =
        install({makeFan(0, 1000, 6000), makeFan(1, 1000, 6000), makeFan(2, 1000, 6000)});
    applyControlMode(regulation, settings, ControlMode::Manual);
    EXPECT_EQ(three.rpmCalls, (std::vector<RpmCall>{{0, 2500}, {1, 3100}}));
    // Applying again re-commands the same speeds.
    applyControlMode(regulation, settings, ControlMode::Manual);
    EXPECT_EQ(three.rpmCalls.size(), 4u);
    // The other modes drive every fan.
    three.rpmCalls.clear();
    applyControlMode(regulation, settings, ControlMode::Quiet);
    EXPECT_EQ(three.rpmCalls.size(), 3u);
}

TEST_F(ControlModesTest, ManualSpeedsOutsideAFansRangeAreClampedButKept) {
    RecordingController& backend = install(TWO_FANS);
    settings.manualRpm = {8000, 500};
    applyControlMode(regulation, settings, ControlMode::Manual);
    EXPECT_EQ(backend.rpmCalls, (std::vector<RpmCall>{{0, 5779}, {1, 1692}}));
    EXPECT_EQ(regulation.notice.text,
              L"Manuelle Steuerung aktiv (Lüfter 1: 5779 RPM · Lüfter 2: 1692 RPM).");
    EXPECT_EQ(settings.manualRpm[0], 8000.0);
    EXPECT_EQ(settings.manualRpm[1], 500.0);
    EXPECT_EQ(registry.dword(RegistryRoot::CurrentUser, SETTINGS_KEY_PATH, L"ManualRPM0"), 8000u);

    // Inside the range the speed passes unchanged; a backend reporting its range upside down
    // still bounds it.
    backend.rpmCalls.clear();
    regulation.readings.fanList[1].minRpm = 5343;
    regulation.readings.fanList[1].maxRpm = 1692;
    settings.manualRpm = {2200.4, 9000};
    applyControlMode(regulation, settings, ControlMode::Manual);
    EXPECT_EQ(backend.rpmCalls, (std::vector<RpmCall>{{0, 2200.4}, {1, 5343}}));
}

TEST_F(ControlModesTest, AFailedAutomaticShowsAnErrorUntilOneSucceeds) {
    RecordingController& backend = install(TWO_FANS);
    backend.setAutomaticResult = false;
    applyControlMode(regulation, settings, ControlMode::SystemAuto);
    EXPECT_EQ(settings.mode, ControlMode::SystemAuto);
    EXPECT_EQ(regulation.notice.text, L"Fehler beim Setzen der Automatik.");
    EXPECT_TRUE(regulation.notice.isError);
    EXPECT_EQ(savedProfile(), 0u);
    EXPECT_EQ(host.count("invalidate 0"), 1);

    backend.setAutomaticResult = true;
    applyControlMode(regulation, settings, ControlMode::SystemAuto);
    EXPECT_EQ(regulation.notice.text,
              L"System-Automatik aktiv (Lüftersteuerung durch BIOS/Hardware).");
    EXPECT_FALSE(regulation.notice.isError);
    EXPECT_EQ(std::count(backend.calls.begin(), backend.calls.end(), "setAutomatic"), 2);
}

TEST_F(ControlModesTest, EveryModeForgetsTheCurvesLastSpeedsSoTheCurveWritesEveryFan) {
    RecordingController& backend = install(TWO_FANS);
    regulation.readings.cpuTemp = 60.0; // 30 %: 3014 and 2787.3 -> 2787
    regulation.readings.gpuTemp = 40.0;
    regulation.lastCurveRpm = {3014, 2787, 1000, 1000};
    applyControlMode(regulation, settings, ControlMode::Quiet);
    for (double last : regulation.lastCurveRpm)
        EXPECT_EQ(last, -1.0);
    backend.rpmCalls.clear();
    applyControlMode(regulation, settings, ControlMode::Curve);
    EXPECT_EQ(backend.rpmCalls, (std::vector<RpmCall>{{0, 3014}, {1, 2787}}));
    EXPECT_EQ(regulation.lastCurveRpm[0], 3014.0);
    // A failed write leaves that fan's memory empty.
    backend.rpmCalls.clear();
    backend.setFanRpmResults = {true, false};
    applyControlMode(regulation, settings, ControlMode::Curve);
    EXPECT_EQ(backend.rpmCalls.size(), 2u);
    EXPECT_EQ(regulation.lastCurveRpm[1], -1.0);
}

TEST_F(ControlModesTest, WithoutABackendOnlyTheModeAndTheCurveMemoryChange) {
    regulation.lastCurveRpm = {1, 2, 3, 4};
    regulation.notice.text = L"vorher";
    applyControlMode(regulation, settings, ControlMode::Max);
    EXPECT_EQ(settings.mode, ControlMode::Max);
    EXPECT_EQ(regulation.lastCurveRpm[2], -1.0);
    EXPECT_EQ(regulation.notice.text, L"vorher");
    EXPECT_FALSE(registry.hasKey(RegistryRoot::CurrentUser, SETTINGS_KEY_PATH));
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(ControlModesTest, AnUnknownModeCommandsNothingButIsSavedAndRepainted) {
    RecordingController& backend = install(TWO_FANS);
    regulation.notice.text = L"vorher";
    applyControlMode(regulation, settings, static_cast<ControlMode>(9));
    EXPECT_TRUE(backend.rpmCalls.empty());
    EXPECT_EQ(std::count(backend.calls.begin(), backend.calls.end(), "setAutomatic"), 0);
    EXPECT_EQ(regulation.notice.text, L"vorher");
    EXPECT_EQ(savedProfile(), 9u);
    EXPECT_EQ(host.count("invalidate 0"), 1);
    // No window host installed: the change still happens.
    platform.windowHost = nullptr;
    applyControlMode(regulation, settings, ControlMode::Balanced);
    EXPECT_EQ(backend.rpmCalls.size(), 2u);
}

TEST_F(ControlModesTest, AModeWhoseCommandsFailSaysSoAndIsStillSaved) {
    struct Case {
        ControlMode mode;
        const wchar_t* notice;
    };
    const Case cases[] = {
        {ControlMode::Quiet,
         L"Profil 'Leise' konnte nicht angewendet werden (Lüftersteuerung antwortet nicht)."},
        {ControlMode::Balanced,
         L"Profil 'Ausgewogen' konnte nicht angewendet werden (Lüftersteuerung antwortet nicht)."},
        {ControlMode::Max, L"Profil 'Maximal (Turbo)' konnte nicht angewendet werden "
                           L"(Lüftersteuerung antwortet nicht)."},
        {ControlMode::Curve, L"Profil 'Temperatur-Kurve' konnte nicht angewendet werden "
                             L"(Lüftersteuerung antwortet nicht)."},
        {ControlMode::Manual,
         L"Manuelle Drehzahl konnte nicht gesetzt werden (Lüftersteuerung antwortet nicht)."},
    };
    RecordingController& backend = install(TWO_FANS);
    for (const Case& c : cases) {
        // Only the second fan refuses: every fan is still tried, and one failure is enough.
        backend.setFanRpmResults = {true, false};
        backend.rpmCalls.clear();
        applyControlMode(regulation, settings, c.mode);
        EXPECT_EQ(backend.rpmCalls.size(), 2u) << controlModeName(c.mode);
        EXPECT_EQ(regulation.notice.text, c.notice);
        EXPECT_TRUE(regulation.notice.isError);
        EXPECT_EQ(savedProfile(), static_cast<std::uint32_t>(c.mode));
        EXPECT_TRUE(regulation.safety.commandsFailing);
    }
    // The next mode that reaches the hardware clears the failure.
    applyControlMode(regulation, settings, ControlMode::Balanced);
    EXPECT_FALSE(regulation.notice.isError);
    EXPECT_FALSE(regulation.safety.commandsFailing);
}

TEST_F(ControlModesTest, TheResultSaysWhetherTheModeTook) {
    const struct {
        const char* what;
        bool backend;
        std::int32_t cpuAge;
        std::deque<bool> rpmResults;
        ControlMode mode;
        bool took;
    } cases[] = {
        {"applied", true, 0, {}, ControlMode::Balanced, true},
        {"the firmware's control", true, -1, {}, ControlMode::SystemAuto, true},
        {"the maximum needs no temperature", true, -1, {}, ControlMode::Max, true},
        {"refused without a temperature", true, -1, {}, ControlMode::Quiet, false},
        {"a command the hardware refused", true, 0, {true, false}, ControlMode::Manual, false},
        {"no backend", false, 0, {}, ControlMode::Max, false},
    };
    for (const auto& c : cases) {
        regulation = RegulationState{};
        if (c.backend)
            install(TWO_FANS).setFanRpmResults = c.rpmResults;
        regulation.safety.cpuAge = regulation.safety.gpuAge = c.cpuAge;
        EXPECT_EQ(applyControlMode(regulation, settings, c.mode), c.took) << c.what;
    }
}
