#include "fakes/fake_platform_fixture.h"
#include "settings/autostart.h"
#include "settings/autostart_task.h"
#include "settings/registry_settings.h"

#include <string>

namespace {

constexpr RegistryRoot HKCU = RegistryRoot::CurrentUser;
const std::wstring PROGRAM = L"C:\\Program Files\\Lüfter & Co\\ventrasol.exe";
const std::wstring USER = L"S-1-5-21-1004336348-1177238915-682003330-1001";
const std::wstring OTHER_USER = L"S-1-5-21-1004336348-1177238915-682003330-1002";
const std::wstring OUTSIDE_NOTICE =
    L"Autostart nur für ein Programm im Ordner 'Programme' – bitte mit dem Setup installieren.";
const std::wstring OTHER_USERS_NOTICE =
    L"Windows-Autostart nicht möglich: die Aufgabe „Ventrasol“ gehört einem anderen Benutzer und "
    L"bleibt unverändert.";

// The whole definition for PROGRAM and USER with "--minimized"; without it only the
// Arguments line is missing.
const std::wstring MINIMIZED_XML = LR"(<?xml version="1.0" encoding="UTF-16"?>
<Task version="1.3" xmlns="http://schemas.microsoft.com/windows/2004/02/mit/task">
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

// A definition as the scheduler would give it back.
std::wstring definition(const std::wstring& program, const std::wstring& user) {
    std::wstring xml;
    EXPECT_EQ(autostartTaskXml({program, user, false}, &xml), TaskXml::Done);
    return xml;
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
        loadAutostartState(settings, notice);
    }

    Settings settings;
    Notice notice;
};

} // namespace

TEST(AutostartTaskXmlTest, TheWholeDefinitionWithEscapedPathForBothStartModes) {
    std::wstring xml;
    ASSERT_EQ(autostartTaskXml({PROGRAM, USER, true}, &xml), TaskXml::Done);
    EXPECT_EQ(xml, MINIMIZED_XML);
    ASSERT_EQ(autostartTaskXml({PROGRAM, USER, false}, &xml), TaskXml::Done);
    EXPECT_EQ(xml, withoutArguments(MINIMIZED_XML));
    EXPECT_EQ(taskProgram(xml), PROGRAM);
    EXPECT_EQ(taskPrincipal(xml), USER);
}

TEST(AutostartTaskXmlTest, WhatTheSchedulerWouldRefuseIsNeverWrittenAndSaysWhy) {
    // The quoted path is the Command, which the schema allows 260 characters: 258 of the path.
    const std::wstring fits = L"C:\\" + std::wstring(251, L'a') + L".exe";
    const std::wstring emoji = L"\U0001F600"; // one character, two UTF-16 units
    const struct {
        AutostartTask task;
        TaskXml result;
    } cases[] = {
        {{fits, USER, true}, TaskXml::Done},
        {{fits + L"a", USER, true}, TaskXml::PathTooLong},
        {{fits.substr(1) + emoji, USER, true}, TaskXml::PathTooLong},
        {{fits.substr(2) + emoji, USER, true}, TaskXml::Done},
        {{L"", USER, true}, TaskXml::NoPath},
        {{L"C:\\a\nb.exe", USER, true}, TaskXml::PathNotText},
        {{std::wstring(L"C:\\a\0b.exe", 10), USER, true}, TaskXml::PathNotText},
        {{L"C:\\a" + std::wstring(1, wchar_t(0xD83D)) + L"b.exe", USER, true},
         TaskXml::PathNotText}, // a lead surrogate alone
        {{L"C:\\a" + std::wstring(1, wchar_t(0xDE00)) + L".exe", USER, true},
         TaskXml::PathNotText}, // a trail surrogate alone
        {{L"C:\\a" + std::wstring(1, wchar_t(0xFFFE)) + L".exe", USER, true}, TaskXml::PathNotText},
        {{L"C:\\a" + std::wstring(1, wchar_t(0xFFFF)) + L".exe", USER, true}, TaskXml::PathNotText},
        {{PROGRAM, L"", true}, TaskXml::NoUser},
        {{PROGRAM, USER + std::wstring(1, wchar_t(0xFFFF)), true}, TaskXml::NoUser},
        {{L"", L"", true}, TaskXml::NoPath}, // the path first
    };
    for (const auto& c : cases) {
        std::wstring out = L"unchanged";
        const TaskXml result = autostartTaskXml(c.task, &out);
        EXPECT_EQ(result, c.result) << c.task.programPath.size();
        if (result != TaskXml::Done) {
            EXPECT_EQ(out, L"unchanged");
        }
    }
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

TEST(AutostartTaskXmlTest, ThePrincipalIsReadBackByUserOrGroup) {
    const struct {
        std::wstring xml;
        std::wstring principal;
    } cases[] = {
        {L"<Principals><Principal id=\"Author\"><UserId>LAPTOP\\Anna &amp; Ben</UserId>"
         L"</Principal></Principals>",
         L"LAPTOP\\Anna & Ben"},
        {L"<Principals><Principal><GroupId>S-1-5-32-545</GroupId></Principal></Principals>",
         L"S-1-5-32-545"},
        // The trigger's user is not whom the task runs as.
        {L"<LogonTrigger><UserId>S-1-5-21-1</UserId></LogonTrigger><Principals><Principal>"
         L"<LogonType>InteractiveToken</LogonType></Principal></Principals>",
         L""},
        {L"<Task><Actions/></Task>", L""}, // as Wine keeps every task
        {L"<Principals><Principal><UserId>S-1-5-21-1", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(taskPrincipal(c.xml), c.principal);
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
        {L"C:\\Program Files\\V" + std::wstring(1, wchar_t(0xFFFF)) + L"\\ventrasol.exe", false,
         true, L"Windows-Autostart nicht möglich: der Programmpfad enthält ungültige Zeichen."},
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
    EXPECT_EQ(notice.text,
              L"Windows-Autostart nicht möglich: die Aufgabenplanung hat die Aufgabe abgelehnt.");

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

TEST_F(AutostartTest, TheStateIsATaskOfThisUserWhoseActionStartsThisProgram) {
    EXPECT_FALSE(readAutostartState());
    const struct {
        std::wstring xml;
        bool on;
    } cases[] = {
        {definition(L"C:\\PROGRAM FILES\\Lüfter & CO\\VENTRASOL.EXE", USER), true},
        {definition(PROGRAM, L"laptop\\ANNA"), true}, // the principal by name
        {definition(L"D:\\Ventrasol\\ventrasol.exe", USER), false},
        {definition(PROGRAM, OTHER_USER), false},
        {L"<Task><Actions/></Task>", false}, // as Wine keeps it
    };
    for (const auto& c : cases) {
        scheduler.tasks[L"Ventrasol"] = c.xml;
        EXPECT_EQ(readAutostartState(), c.on) << (&c - cases);
    }
    scheduler.tasks.clear();
    registry.setString(HKCU, RUN_KEY_PATH, RUN_VALUE_NAME, L"\"" + PROGRAM + L"\"");
    EXPECT_FALSE(readAutostartState()); // a Run value alone is no autostart
}

TEST_F(AutostartTest, OnlyAProgramInsideProgramFilesStartsWithWindows) {
    const struct {
        std::wstring path;
        bool registers;
    } cases[] = {
        {PROGRAM, true},
        {L"C:\\Users\\Anna\\Downloads\\ventrasol.exe", false},
        {L"C:\\Program Files Evil\\ventrasol.exe", false},
        {L"C:\\Program Files\\ventrasol.exe", false}, // the folder itself
    };
    for (const auto& c : cases) {
        scheduler.tasks.clear();
        settings = Settings{};
        notice = Notice{};
        systemInfo.path = c.path;
        registry.setString(HKCU, RUN_KEY_PATH, RUN_VALUE_NAME, L"\"" + c.path + L"\"");
        setAutostart(settings, notice, true);
        const std::string label(c.path.begin(), c.path.end());
        EXPECT_EQ(settings.autostartEnabled, c.registers) << label;
        EXPECT_EQ(task() != nullptr, c.registers) << label;
        EXPECT_FALSE(runValue()) << label; // replaced by the task, or simply removed
        EXPECT_EQ(notice.isError, !c.registers) << label;
        if (!c.registers) {
            EXPECT_EQ(notice.text, OUTSIDE_NOTICE) << label;
        }
        EXPECT_TRUE(settingsSaved());
    }
    // Where Windows does not say which folder is Program Files, nothing is trusted.
    systemInfo.path = PROGRAM;
    platform.serviceManager = nullptr;
    setAutostart(settings, notice, true);
    EXPECT_FALSE(task());
    EXPECT_EQ(notice.text, OUTSIDE_NOTICE);
}

TEST_F(AutostartTest, StartedFromElsewhereTheRunValueAndAnOldTaskAreRemovedAtStart) {
    systemInfo.path = L"C:\\Users\\Anna\\Desktop\\ventrasol.exe";
    registry.setString(HKCU, RUN_KEY_PATH, RUN_VALUE_NAME, L"\"" + systemInfo.path + L"\"");
    start();
    EXPECT_FALSE(settings.autostartEnabled);
    EXPECT_FALSE(task());
    EXPECT_FALSE(runValue());
    EXPECT_EQ(notice.text, OUTSIDE_NOTICE);
    EXPECT_TRUE(notice.isError);

    // A task an earlier version registered for this file would run whatever lies there
    // elevated at the next logon; one for another program is left alone.
    for (const std::wstring& program : {systemInfo.path, PROGRAM}) {
        scheduler.tasks[L"Ventrasol"] = definition(program, USER);
        settings = Settings{};
        notice = Notice{};
        start();
        EXPECT_FALSE(settings.autostartEnabled);
        EXPECT_EQ(task() != nullptr, program == PROGRAM);
        EXPECT_EQ(notice.text, program == PROGRAM ? L"" : OUTSIDE_NOTICE);
    }
    // When it cannot be deleted the switch says so.
    scheduler.tasks[L"Ventrasol"] = definition(systemInfo.path, USER);
    scheduler.refuseDeletion = true;
    start();
    EXPECT_TRUE(settings.autostartEnabled);
    EXPECT_EQ(notice.text, OUTSIDE_NOTICE);
}

TEST_F(AutostartTest, AnotherUsersTaskIsNeitherReplacedNorDeleted) {
    const std::wstring theirs =
        definition(L"C:\\Program Files\\Ventrasol\\ventrasol.exe", OTHER_USER);
    scheduler.tasks[L"Ventrasol"] = theirs;
    setAutostart(settings, notice, true);
    EXPECT_FALSE(settings.autostartEnabled);
    EXPECT_EQ(*task(), theirs);
    EXPECT_EQ(notice.text, OTHER_USERS_NOTICE);
    EXPECT_TRUE(notice.isError);
    EXPECT_TRUE(settingsSaved());

    settings.autostartEnabled = true;
    setAutostart(settings, notice, false);
    EXPECT_FALSE(settings.autostartEnabled);
    EXPECT_EQ(*task(), theirs);
    EXPECT_EQ(notice.text, L"Windows-Autostart deaktiviert.");

    // An old Run value is not migrated over it either; it stays for a later start.
    registry.setString(HKCU, RUN_KEY_PATH, RUN_VALUE_NAME, L"x");
    start();
    EXPECT_EQ(*task(), theirs);
    EXPECT_TRUE(runValue());
    EXPECT_EQ(notice.text, OTHER_USERS_NOTICE);

    // A task that names nobody (Wine keeps no principal) is no one else's: it is replaced.
    scheduler.tasks[L"Ventrasol"] = L"<Task><Actions/></Task>";
    setAutostart(settings, notice, true);
    EXPECT_TRUE(settings.autostartEnabled);
    EXPECT_EQ(*task(), MINIMIZED_XML);
}
