#include "base/texts.h"
#include "hardware/smc_driver_service.h"

#include "fakes/fake_service_manager.h"
#include "fakes/fake_system_info.h"
#include "fakes/platform_fixture.h"

#include <string>

namespace {

const std::wstring FOLDER = L"C:\\Program Files\\Ventrasol";
const std::wstring SOURCE = FOLDER + L"\\applesmc.sys";
const std::wstring INSTALLED = L"C:\\Windows\\System32\\drivers\\applesmc.sys";

class SmcDriverService : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        platform.serviceManager = &scm;
        platform.systemInfo = &info;
        scm.protectedPaths = {FOLDER, SOURCE};
    }
    void installDriverService(const std::wstring& binary) {
        ServiceConfig c;
        c.name = L"applesmc";
        c.binaryPath = binary;
        scm.services[c.name] = FakeServiceManager::Service{c, false, L""};
    }
    FakeServiceManager scm;
    FakeSystemInfo info;
};

} // namespace

TEST_F(SmcDriverService, AnInstalledServiceIsStartedAndNothingCopied) {
    installDriverService(L"D:\\elsewhere\\applesmc.sys");
    scm.files = {SOURCE, L"D:\\elsewhere\\applesmc.sys"};
    installSmcDriverService();
    EXPECT_EQ(scm.calls,
              (std::vector<std::wstring>{L"openManager 0xF003F", L"openService applesmc 0x14",
                                         L"start applesmc", L"close service", L"close manager"}));
    EXPECT_TRUE(scm.services[L"applesmc"].running);
    EXPECT_EQ(scm.services[L"applesmc"].config.binaryPath, L"D:\\elsewhere\\applesmc.sys");
    EXPECT_EQ(scm.services[L"applesmc"].description, L""); // someone else's: never marked
    EXPECT_TRUE(scm.openHandles.empty());
}

TEST_F(SmcDriverService, ARunningServiceIsPassedOverQuietly) {
    installDriverService(INSTALLED);
    scm.services[L"applesmc"].running = true;
    installSmcDriverService();
    EXPECT_EQ(scm.calls.size(), 5u);
    EXPECT_TRUE(scm.services[L"applesmc"].running);
    EXPECT_TRUE(scm.openHandles.empty());
}

TEST_F(SmcDriverService, WithoutTheManagerNothingElseIsTried) {
    scm.managerOpens = false;
    scm.files = {SOURCE};
    installSmcDriverService();
    EXPECT_EQ(scm.calls, (std::vector<std::wstring>{L"openManager 0xF003F"}));
}

TEST_F(SmcDriverService, WithoutTheFileNothingIsCreatedAndTheManagerIsClosed) {
    installSmcDriverService();
    EXPECT_EQ(scm.calls,
              (std::vector<std::wstring>{L"openManager 0xF003F", L"openService applesmc 0x14",
                                         L"exists " + SOURCE, L"close manager"}));
    EXPECT_TRUE(scm.services.empty());
    EXPECT_TRUE(scm.openHandles.empty());
}

TEST_F(SmcDriverService, AMissingServiceIsCopiedCreatedAndStarted) {
    scm.files = {SOURCE, INSTALLED}; // an old copy is overwritten
    installSmcDriverService();
    EXPECT_EQ(scm.calls,
              (std::vector<std::wstring>{
                  L"openManager 0xF003F", L"openService applesmc 0x14", L"exists " + SOURCE,
                  L"security " + FOLDER, L"security " + SOURCE,
                  L"copy " + SOURCE + L" -> " + INSTALLED, L"create applesmc", L"describe applesmc",
                  L"start applesmc", L"close service", L"close manager"}));
    ASSERT_EQ(scm.services.count(L"applesmc"), 1u);
    const auto& s = scm.services[L"applesmc"];
    EXPECT_EQ(s.config.displayName, L"Apple SMC Driver");
    EXPECT_EQ(s.config.access, 0xF01FFu);
    EXPECT_EQ(s.config.serviceType, 1u);
    EXPECT_EQ(s.config.startType, 3u);
    EXPECT_EQ(s.config.errorControl, 1u);
    EXPECT_EQ(s.config.binaryPath, INSTALLED);
    // The mark the uninstaller looks for before it removes the service.
    EXPECT_EQ(s.description, L"Eingerichtet von Ventrasol; wird mit Ventrasol deinstalliert.");
    EXPECT_TRUE(s.running);
    EXPECT_TRUE(scm.openHandles.empty());
}

TEST_F(SmcDriverService, AFailedCopyOverNothingRegistersNoServiceThatCouldNeverStart) {
    scm.files = {SOURCE};
    scm.copyFails = true;
    installSmcDriverService();
    EXPECT_EQ(scm.calls, (std::vector<std::wstring>{
                             L"openManager 0xF003F", L"openService applesmc 0x14",
                             L"exists " + SOURCE, L"security " + FOLDER, L"security " + SOURCE,
                             L"copy " + SOURCE + L" -> " + INSTALLED, L"exists " + INSTALLED,
                             L"close manager"}));
    EXPECT_TRUE(scm.services.empty());
    EXPECT_TRUE(scm.openHandles.empty());

    // The next run tries again, and an older copy already in place is good enough.
    scm.calls.clear();
    scm.files.insert(INSTALLED);
    installSmcDriverService();
    ASSERT_EQ(scm.services.count(L"applesmc"), 1u);
    EXPECT_EQ(scm.services[L"applesmc"].config.binaryPath, INSTALLED);
    EXPECT_TRUE(scm.services[L"applesmc"].running);
    EXPECT_TRUE(scm.openHandles.empty());
}

TEST_F(SmcDriverService, AFailedCreationClosesTheManager) {
    scm.files = {SOURCE};
    scm.createFails = true;
    installSmcDriverService();
    EXPECT_EQ(scm.calls.back(), L"close manager");
    EXPECT_TRUE(scm.openHandles.empty());
    EXPECT_TRUE(scm.services.empty());
}

TEST_F(SmcDriverService, AProgramPathWithoutAUsableFolderInstallsNothing) {
    const std::wstring longFolder = L"C:\\" + std::wstring(250, L'a');
    for (const std::wstring& path :
         {std::wstring(), std::wstring(L"ventrasol.exe"), longFolder + L"\\ventrasol.exe"}) {
        scm.calls.clear();
        info.path = path;
        scm.files = {longFolder + L"\\applesmc.sys", L"\\applesmc.sys", L"applesmc.sys"};
        scm.files.insert((longFolder + L"\\applesmc.sys").substr(0, 259));
        installSmcDriverService();
        EXPECT_TRUE(scm.services.empty()) << std::string(path.begin(), path.end());
        EXPECT_EQ(scm.calls.back(), L"close manager");
        EXPECT_TRUE(scm.openHandles.empty());
    }
    // Without a SystemInfo at all there is no program folder either.
    platform.systemInfo = nullptr;
    installSmcDriverService();
    EXPECT_TRUE(scm.services.empty());
}

TEST_F(SmcDriverService, OnlyAFolderInsideProgramFilesSuppliesTheDriver) {
    const struct {
        std::wstring folder;
        bool installs;
    } cases[] = {
        {L"C:\\Program Files\\Ventrasol", true},
        {L"c:\\PROGRAM FILES\\Tools\\Ventrasol", true},
        {L"C:\\Program Files", false}, // the folder itself, not one inside it
        {L"C:\\Program Files Evil\\Ventrasol", false},
        {L"C:\\Program Files (x86)\\Ventrasol", false},
        {L"C:\\Program Files\\..\\Users\\Public", false},
        {L"C:\\Ventrasol", false},
        {L"D:\\Program Files\\Ventrasol", false},
        {L"C:\\Users\\Anna\\Downloads", false},
    };
    for (const auto& c : cases) {
        scm = FakeServiceManager{};
        scm.protectedPaths = {c.folder, c.folder + L"\\applesmc.sys"};
        scm.files = {c.folder + L"\\applesmc.sys"};
        info.path = c.folder + L"\\ventrasol.exe";
        const std::wstring note = installSmcDriverService();
        const std::string label(c.folder.begin(), c.folder.end());
        EXPECT_EQ(scm.services.count(L"applesmc"), c.installs ? 1u : 0u) << label;
        EXPECT_EQ(scm.files.count(INSTALLED), c.installs ? 1u : 0u) << label;
        EXPECT_EQ(note, c.installs ? L"" : text(TextId::DriverRefused)) << label;
        EXPECT_TRUE(scm.openHandles.empty());
    }
    // Without a file beside the program there is nothing to explain.
    scm = FakeServiceManager{};
    info.path = L"C:\\Ventrasol\\ventrasol.exe";
    EXPECT_EQ(installSmcDriverService(), L"");
    // A service that exists is used wherever the program runs from, with nothing to say.
    installDriverService(INSTALLED);
    scm.files = {INSTALLED, L"C:\\Ventrasol\\applesmc.sys"};
    EXPECT_EQ(installSmcDriverService(), L"");
    EXPECT_TRUE(scm.services[L"applesmc"].running);
}

TEST_F(SmcDriverService, AnUnprotectedSourceIsInstalledWithAWarning) {
    for (const std::wstring& open : {FOLDER, SOURCE}) {
        scm = FakeServiceManager{};
        scm.files = {SOURCE};
        scm.protectedPaths = {FOLDER, SOURCE};
        scm.protectedPaths.erase(open);
        EXPECT_EQ(installSmcDriverService(), text(TextId::DriverUnprotected));
        EXPECT_TRUE(scm.services[L"applesmc"].running);
    }
}

TEST_F(SmcDriverService, TheTargetFollowsTheSystemFolder) {
    scm.system32 = L"D:\\WINNT\\System32";
    scm.files = {SOURCE};
    installSmcDriverService();
    EXPECT_EQ(scm.services[L"applesmc"].config.binaryPath,
              L"D:\\WINNT\\System32\\drivers\\applesmc.sys");
    EXPECT_TRUE(scm.services[L"applesmc"].running);

    scm = FakeServiceManager{};
    scm.protectedPaths = {FOLDER, SOURCE};
    scm.system32.clear(); // Windows did not say
    scm.files = {SOURCE};
    installSmcDriverService();
    EXPECT_TRUE(scm.services.empty());
    EXPECT_TRUE(scm.openHandles.empty());
}

// Windows' reasons for not starting the driver reach the driver tab in words, with what to do;
// a service that runs already is no news.
TEST_F(SmcDriverService, AServiceWindowsDoesNotStartIsExplained) {
    const struct {
        std::uint32_t error;
        const wchar_t* starts; // the note begins so; nullptr: no note
    } cases[] = {
        {577, L"Windows lädt den Treiber nicht: er ist nicht signiert"},
        {1275, L"Windows lädt den Treiber nicht: er ist blockiert"},
        {55, L"Der Treiber findet auf diesem Rechner keinen Apple-SMC"},
        {1058, L"Windows startet den Treiber nicht (Fehler 1058)."},
        {1056, nullptr},
    };
    for (const auto& c : cases) {
        scm = FakeServiceManager{};
        scm.files = {SOURCE};
        scm.protectedPaths = {FOLDER, SOURCE};
        scm.startError = c.error;
        const std::wstring note = installSmcDriverService();
        EXPECT_EQ(note.rfind(c.starts ? c.starts : L"", 0), 0u) << c.error;
        EXPECT_EQ(note.empty(), c.starts == nullptr) << c.error;
        EXPECT_EQ(note, driverStartNote(c.error)) << c.error;
    }
    EXPECT_NE(driverStartNote(577).find(L"Testsignierung"), std::wstring::npos);
    // A warning already given stays beside the reason.
    scm = FakeServiceManager{};
    scm.files = {SOURCE};
    scm.startError = 577;
    EXPECT_EQ(installSmcDriverService(),
              std::wstring(text(TextId::DriverUnprotected)) + L" · " + driverStartNote(577));
}
