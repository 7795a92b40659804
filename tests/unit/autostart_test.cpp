#include "base/utf16.h"
#include "fakes/fake_platform_fixture.h"
#include "settings/autostart.h"
#include "settings/registry_settings.h"

#include <string>
#include <vector>

namespace {

constexpr RegistryRoot HKCU = RegistryRoot::CurrentUser;
const std::wstring PROGRAM = L"C:\\Program Files\\Ventrasol\\ventrasol.exe";

class AutostartTest : public FakePlatformTest {
protected:
    void SetUp() override {
        FakePlatformTest::SetUp();
        registry.addKey(HKCU, RUN_KEY_PATH);
        systemInfo.path = PROGRAM;
    }
    std::optional<FakeRegistryValue> runValue() const {
        return registry.value(HKCU, RUN_KEY_PATH, RUN_VALUE_NAME);
    }
    bool settingsSaved() const {
        return registry.value(HKCU, SETTINGS_KEY_PATH, L"CurvePoints").has_value();
    }
};

} // namespace

TEST_F(AutostartTest, EnablingWritesTheQuotedPathWithOrWithoutTheSwitchAndSaves) {
    appState.startMinimized = true;
    setAutostart(true);
    EXPECT_TRUE(appState.autostartEnabled);
    const std::wstring minimized = L"\"" + PROGRAM + L"\" --minimized";
    ASSERT_TRUE(runValue());
    EXPECT_EQ(runValue()->type, REGISTRY_TYPE_SZ);
    EXPECT_EQ(runValue()->data, utf16leBytes(minimized));
    EXPECT_EQ(runValue()->data.size(), (minimized.size() + 1) * 2); // terminator included
    EXPECT_EQ(appState.noticeText,
              L"Windows-Autostart aktiviert (startet minimiert im System-Tray).");
    EXPECT_TRUE(settingsSaved());

    // Toggling the option while autostart is on rewrites the value at once.
    appState.startMinimized = false;
    setAutostart(true);
    EXPECT_EQ(runValue()->data, utf16leBytes(L"\"" + PROGRAM + L"\""));
    EXPECT_EQ(appState.noticeText, L"Windows-Autostart aktiviert.");
    EXPECT_EQ(registry.dword(HKCU, SETTINGS_KEY_PATH, L"StartMinimized"), 0u);
    EXPECT_TRUE(readAutostartState());
    EXPECT_EQ(registry.openKeyCount(), 0);
}

TEST_F(AutostartTest, DisablingRemovesTheValueAndIsHarmlessWhenThereIsNone) {
    setAutostart(true);
    setAutostart(false);
    EXPECT_FALSE(appState.autostartEnabled);
    EXPECT_FALSE(runValue());
    EXPECT_EQ(appState.noticeText, L"Windows-Autostart deaktiviert.");

    resetAppState();
    registry = FakeRegistry{};
    registry.addKey(HKCU, RUN_KEY_PATH);
    registry.setString(HKCU, RUN_KEY_PATH, L"Other", L"other.exe");
    setAutostart(false);
    EXPECT_EQ(appState.noticeText, L"Windows-Autostart deaktiviert.");
    EXPECT_TRUE(settingsSaved());
    EXPECT_TRUE(registry.value(HKCU, RUN_KEY_PATH, L"Other"));
}

TEST_F(AutostartTest, ARunKeyThatRefusesWritingStillFlipsTheStateAndSaves) {
    registry.denyWrite(HKCU, RUN_KEY_PATH);
    appState.noticeText = L"vorher";
    setAutostart(true);
    EXPECT_TRUE(appState.autostartEnabled);
    EXPECT_FALSE(runValue());
    EXPECT_EQ(appState.noticeText, L"vorher");
    EXPECT_TRUE(settingsSaved());
}

TEST_F(AutostartTest, APathThatDoesNotFitIsNeverRegisteredCut) {
    const struct {
        std::wstring path;
        bool fits;
    } cases[] = {
        {L"C:\\" + std::wstring(256, L'a'), true},   // 259 characters: the longest that fits
        {L"C:\\" + std::wstring(257, L'a'), false},  // 260 would be cut by the path buffer
        {L"C:\\" + std::wstring(2000, L'a'), false}, // a long-path install
        {L"", false},                                // the path could not be had
    };
    for (const auto& c : cases) {
        resetAppState();
        registry.removeValue(HKCU, RUN_KEY_PATH, RUN_VALUE_NAME);
        systemInfo.path = c.path;
        setAutostart(true);
        EXPECT_EQ(runValue().has_value(), c.fits) << c.path.size();
        EXPECT_EQ(appState.autostartEnabled, c.fits) << c.path.size();
        EXPECT_EQ(appState.noticeIsError, !c.fits);
        EXPECT_TRUE(settingsSaved());
        if (c.fits) {
            EXPECT_EQ(runValue()->data, utf16leBytes(L"\"" + c.path + L"\" --minimized"));
        } else {
            EXPECT_EQ(appState.noticeText,
                      L"Windows-Autostart nicht möglich: Programmpfad unbekannt oder zu lang.");
        }
    }
    // An earlier registration stays as it was, and so does the state that reflects it.
    appState.autostartEnabled = true;
    registry.setString(HKCU, RUN_KEY_PATH, RUN_VALUE_NAME, L"\"C:\\alt.exe\"");
    systemInfo.path = L"C:\\" + std::wstring(400, L'b');
    setAutostart(true);
    EXPECT_TRUE(appState.autostartEnabled);
    EXPECT_EQ(registry.string(HKCU, RUN_KEY_PATH, RUN_VALUE_NAME), L"\"C:\\alt.exe\"");
    // Without any system information there is no path either.
    platform.systemInfo = nullptr;
    appState.autostartEnabled = false;
    setAutostart(true);
    EXPECT_FALSE(appState.autostartEnabled);
}

TEST_F(AutostartTest, ASuccessfulChangeReplacesAnErrorNotice) {
    appState.noticeText = L"Fehler beim Setzen der Automatik.";
    appState.noticeIsError = true;
    setAutostart(true);
    EXPECT_FALSE(appState.noticeIsError);
}

TEST_F(AutostartTest, TheStateIsAnyValueOfTheNameThatFitsOneKilobyte) {
    EXPECT_FALSE(readAutostartState());
    registry.setRaw(HKCU, RUN_KEY_PATH, RUN_VALUE_NAME, REGISTRY_TYPE_SZ,
                    std::vector<std::uint8_t>(1024, 0x41));
    EXPECT_TRUE(readAutostartState());
    registry.setRaw(HKCU, RUN_KEY_PATH, RUN_VALUE_NAME, REGISTRY_TYPE_SZ,
                    std::vector<std::uint8_t>(1025, 0x41));
    EXPECT_FALSE(readAutostartState());
    registry.setDword(HKCU, RUN_KEY_PATH, RUN_VALUE_NAME, 0); // neither type nor text matter
    EXPECT_TRUE(readAutostartState());
    registry.setString(HKCU, RUN_KEY_PATH, L"Ventrasol2", L"x");
    registry.removeValue(HKCU, RUN_KEY_PATH, RUN_VALUE_NAME);
    EXPECT_FALSE(readAutostartState());
    registry = FakeRegistry{}; // no Run key at all
    EXPECT_FALSE(readAutostartState());
    EXPECT_EQ(registry.openKeyCount(), 0);
}

TEST(AutostartCommandLineTest, QuotesThePathAndNeverCutsIt) {
    std::wstring line = L"unchanged";
    EXPECT_TRUE(autostartCommandLine(L"D:\\Mit Leerzeichen\\v.exe", false, &line));
    EXPECT_EQ(line, L"\"D:\\Mit Leerzeichen\\v.exe\"");
    EXPECT_TRUE(autostartCommandLine(L"D:\\Lüfter\\v.exe", true, &line));
    EXPECT_EQ(line, L"\"D:\\Lüfter\\v.exe\" --minimized");
    line = L"unchanged";
    EXPECT_FALSE(autostartCommandLine(std::wstring(L"C:\\a\0b.exe", 10), true, &line));
    EXPECT_FALSE(autostartCommandLine(std::wstring(MODULE_PATH_CAPACITY, L'x'), false, &line));
    EXPECT_EQ(line, L"unchanged");
}
