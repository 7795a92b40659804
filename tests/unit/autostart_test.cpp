#include "fakes/fake_platform_fixture.h"
#include "settings/autostart.h"
#include "settings/autostart_task.h"
#include "settings/registry_settings.h"

#include <string>

namespace {

constexpr RegistryRoot HKCU = RegistryRoot::CurrentUser;
const std::wstring PROGRAM = L"C:\\Program Files\\Lüfter & Co\\ventrasol.exe";
const std::wstring USER = L"S-1-5-21-1004336348-1177238915-682003330-1001";

// The whole definition for PROGRAM and USER with "--minimized"; without it only the
// Arguments line is missing.
const std::wstring MINIMIZED_XML = LR"(<?xml version="1.0" encoding="UTF-16"?>
<Task version="1.2" xmlns="http://schemas.microsoft.com/windows/2004/02/mit/task">
  <RegistrationInfo>
    <Description>Startet Ventrasol bei der Anmeldung.</Description>
  </RegistrationInfo>
  <Triggers>
    <LogonTrigger>
      <Enabled>true</Enabled>
      <UserId>S-1-5-21-1004336348-1177238915-682003330-1001</UserId>
    </LogonTrigger>
  </Triggers>
  <Principals>
    <Principal id="Author">
      <UserId>S-1-5-21-1004336348-1177238915-682003330-1001</UserId>
      <LogonType>InteractiveToken</LogonType>
      <RunLevel>HighestAvailable</RunLevel>
    </Principal>
  </Principals>
  <Settings>
    <MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>
    <DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>
    <StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>
    <ExecutionTimeLimit>PT0S</ExecutionTimeLimit>
    <RunOnlyIfIdle>false</RunOnlyIfIdle>
    <IdleSettings>
      <StopOnIdleEnd>false</StopOnIdleEnd>
      <RestartOnIdle>false</RestartOnIdle>
    </IdleSettings>
    <Enabled>true</Enabled>
  </Settings>
  <Actions Context="Author">
    <Exec>
      <Command>&quot;C:\Program Files\Lüfter &amp; Co\ventrasol.exe&quot;</Command>
      <Arguments>--minimized</Arguments>
    </Exec>
  </Actions>
</Task>
)";
const std::wstring ARGUMENTS_LINE = L"      <Arguments>--minimized</Arguments>\n";

std::wstring withoutArguments(std::wstring xml) {
    return xml.erase(xml.find(ARGUMENTS_LINE), ARGUMENTS_LINE.size());
}

class AutostartTest : public FakePlatformTest {
protected:
    void SetUp() override {
        FakePlatformTest::SetUp();
        scheduler.user = USER;
        registry.addKey(HKCU, RUN_KEY_PATH);
        systemInfo.path = PROGRAM;
    }
    bool runValue() const { return registry.value(HKCU, RUN_KEY_PATH, RUN_VALUE_NAME).has_value(); }
    const std::wstring* task() const {
        const auto found = scheduler.tasks.find(L"Ventrasol");
        return found == scheduler.tasks.end() ? nullptr : &found->second;
    }
    bool settingsSaved() const {
        return registry.value(HKCU, SETTINGS_KEY_PATH, L"CurvePoints").has_value();
    }
    // What the program does at start: the stored values, then the task.
    void start() {
        loadSettings(settings);
        loadAutostartState(settings);
    }

    Settings settings;
    Notice notice;
};

} // namespace

TEST(AutostartTaskXmlTest, TheWholeDefinitionWithEscapedPathForBothStartModes) {
    std::wstring xml;
    ASSERT_TRUE(autostartTaskXml({PROGRAM, USER, true}, &xml));
    EXPECT_EQ(xml, MINIMIZED_XML);
    ASSERT_TRUE(autostartTaskXml({PROGRAM, USER, false}, &xml));
    EXPECT_EQ(xml, withoutArguments(MINIMIZED_XML));
    EXPECT_EQ(taskProgram(xml), PROGRAM);
    // What XML may not carry, and what a MAX_PATH buffer would cut, is never registered.
    const AutostartTask refused[] = {
        {L"", USER, true},
        {L"C:\\" + std::wstring(257, L'a'), USER, true},
        {L"C:\\a\nb.exe", USER, true},
        {std::wstring(L"C:\\a\0b.exe", 10), USER, true},
        {PROGRAM, L"", true},
    };
    for (const AutostartTask& t : refused) {
        std::wstring out = L"unchanged";
        EXPECT_FALSE(autostartTaskXml(t, &out)) << t.programPath.size();
        EXPECT_EQ(out, L"unchanged");
    }
    EXPECT_TRUE(autostartTaskXml({L"C:\\" + std::wstring(256, L'a'), USER, true}, &xml));
}

TEST(AutostartTaskXmlTest, TheProgramIsReadBackFromHowWindowsWritesTheAction) {
    const struct {
        std::wstring xml;
        std::wstring program;
    } cases[] = {
        {L"<Exec><Command>\"C:\\A &amp; B\\v.exe\"</Command></Exec>", L"C:\\A & B\\v.exe"},
        {L"<Exec><Command>C:\\A&#38;B\\v.exe</Command></Exec>", L"C:\\A&B\\v.exe"},
        {L"<Exec><Command>C:\\L&#xFC;fter\\v.exe</Command></Exec>", L"C:\\Lüfter\\v.exe"},
        {L"<Exec><Command>C:\\a&unknown;b</Command></Exec>", L"C:\\a&unknown;b"},
        {L"<Command>C:\\outside\\v.exe</Command>", L""}, // not an action
        {L"<Exec><Command>C:\\unclosed", L""},
        {L"<Exec></Command><Command>", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(taskProgram(c.xml), c.program);
}

TEST_F(AutostartTest, EnablingRegistersTheTaskRemovesTheRunValueAndFollowsTheOption) {
    registry.setString(HKCU, RUN_KEY_PATH, RUN_VALUE_NAME, L"\"C:\\old\\ventrasol.exe\"");
    settings.startMinimized = true;
    notice.isError = true;
    setAutostart(settings, notice, true);
    EXPECT_TRUE(settings.autostartEnabled);
    ASSERT_TRUE(task());
    EXPECT_EQ(*task(), MINIMIZED_XML);
    EXPECT_FALSE(runValue());
    EXPECT_EQ(notice.text, L"Windows-Autostart aktiviert (startet minimiert im System-Tray).");
    EXPECT_FALSE(notice.isError);
    EXPECT_TRUE(settingsSaved());
    EXPECT_TRUE(readAutostartState());

    // Switching the option while autostart is on registers the task again at once.
    toggleStartMinimized(settings, notice);
    EXPECT_EQ(*task(), withoutArguments(MINIMIZED_XML));
    EXPECT_EQ(notice.text, L"Windows-Autostart aktiviert.");
    EXPECT_EQ(registry.dword(HKCU, SETTINGS_KEY_PATH, L"StartMinimized"), 0u);
    EXPECT_EQ(registry.openKeyCount(), 0);
}

TEST_F(AutostartTest, DisablingDeletesTheTaskAndTheRunValueAndARefusalSaysSo) {
    setAutostart(settings, notice, true);
    registry.setString(HKCU, RUN_KEY_PATH, RUN_VALUE_NAME, L"x");
    registry.setString(HKCU, RUN_KEY_PATH, L"Other", L"other.exe");
    setAutostart(settings, notice, false);
    EXPECT_FALSE(settings.autostartEnabled);
    EXPECT_FALSE(task());
    EXPECT_FALSE(runValue());
    EXPECT_TRUE(registry.value(HKCU, RUN_KEY_PATH, L"Other"));
    EXPECT_EQ(notice.text, L"Windows-Autostart deaktiviert.");
    setAutostart(settings, notice, false); // nothing left to delete
    EXPECT_EQ(notice.text, L"Windows-Autostart deaktiviert.");

    setAutostart(settings, notice, true);
    scheduler.refuseDeletion = true;
    setAutostart(settings, notice, false);
    EXPECT_TRUE(settings.autostartEnabled);
    EXPECT_TRUE(task());
    EXPECT_TRUE(notice.isError);
    EXPECT_EQ(notice.text,
              L"Windows-Autostart nicht deaktiviert: die Aufgabe ließ sich nicht löschen.");
}

TEST_F(AutostartTest, AFailedRegistrationLeavesTheSwitchOffWithAnErrorAndStillSaves) {
    const struct {
        std::wstring path;
        bool refuse;
        bool scheduler;
        const wchar_t* notice;
    } cases[] = {
        {PROGRAM, true, true,
         L"Windows-Autostart nicht möglich: die Aufgabenplanung hat die Aufgabe abgelehnt."},
        {PROGRAM, false, false,
         L"Windows-Autostart nicht möglich: die Aufgabenplanung hat die Aufgabe abgelehnt."},
        {L"C:\\" + std::wstring(2000, L'a'), false, true,
         L"Windows-Autostart nicht möglich: Programmpfad unbekannt oder zu lang."},
        {L"", false, true,
         L"Windows-Autostart nicht möglich: Programmpfad unbekannt oder zu lang."},
    };
    for (const auto& c : cases) {
        settings = Settings{};
        notice = Notice{};
        registry.setString(HKCU, RUN_KEY_PATH, RUN_VALUE_NAME, L"x");
        registry.removeValue(HKCU, SETTINGS_KEY_PATH, L"CurvePoints");
        systemInfo.path = c.path;
        scheduler.refuseRegistration = c.refuse;
        platform.taskScheduler = c.scheduler ? &scheduler : nullptr;
        settings.autostartEnabled = true;
        setAutostart(settings, notice, true);
        EXPECT_FALSE(settings.autostartEnabled) << c.path.size();
        EXPECT_FALSE(task());
        EXPECT_TRUE(notice.isError);
        EXPECT_EQ(notice.text, c.notice);
        EXPECT_TRUE(runValue()); // kept until a task replaces it
        EXPECT_TRUE(settingsSaved());
    }
}

TEST_F(AutostartTest, ARunValueOfAnEarlierVersionBecomesATaskOnceAtStart) {
    registry.setDword(HKCU, SETTINGS_KEY_PATH, L"StartMinimized", 0);
    registry.setString(HKCU, RUN_KEY_PATH, RUN_VALUE_NAME, L"\"C:\\old\\ventrasol.exe\"");
    scheduler.refuseRegistration = true;
    start();
    EXPECT_FALSE(settings.autostartEnabled);
    EXPECT_TRUE(runValue()); // the next start tries again

    scheduler.refuseRegistration = false;
    start();
    EXPECT_TRUE(settings.autostartEnabled);
    ASSERT_TRUE(task());
    EXPECT_EQ(*task(), withoutArguments(MINIMIZED_XML)); // the stored option
    EXPECT_FALSE(runValue());

    // Without a Run value nothing is registered.
    scheduler.tasks.clear();
    settings = Settings{};
    notice = Notice{};
    start();
    EXPECT_FALSE(settings.autostartEnabled);
    EXPECT_FALSE(task());
}

TEST_F(AutostartTest, TheStateIsATaskWhoseActionStartsThisProgram) {
    EXPECT_FALSE(readAutostartState());
    std::wstring xml;
    ASSERT_TRUE(
        autostartTaskXml({L"C:\\PROGRAM FILES\\Lüfter & CO\\VENTRASOL.EXE", USER, false}, &xml));
    scheduler.tasks[L"Ventrasol"] = xml;
    EXPECT_TRUE(readAutostartState());
    ASSERT_TRUE(autostartTaskXml({L"D:\\Ventrasol\\ventrasol.exe", USER, false}, &xml));
    scheduler.tasks[L"Ventrasol"] = xml;
    EXPECT_FALSE(readAutostartState());
    scheduler.tasks[L"Ventrasol"] = L"<Task><Actions/></Task>"; // as Wine keeps it
    EXPECT_FALSE(readAutostartState());
    registry.setString(HKCU, RUN_KEY_PATH, RUN_VALUE_NAME, L"\"" + PROGRAM + L"\"");
    EXPECT_FALSE(readAutostartState()); // a Run value alone is no autostart
}
