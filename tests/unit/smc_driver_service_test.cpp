#include "hardware/smc_driver_service.h"

#include "fakes/app_state_fixture.h"
#include "fakes/fake_service_manager.h"
#include "fakes/fake_system_info.h"

#include <string>

namespace {

const std::wstring SOURCE = L"C:\\Program Files\\Ventrasol\\applesmc.sys";
const std::wstring INSTALLED = L"C:\\Windows\\System32\\drivers\\applesmc.sys";

class SmcDriverService : public AppStateTest {
protected:
    void SetUp() override {
        AppStateTest::SetUp();
        platform.serviceManager = &scm;
        platform.systemInfo = &info;
    }
    void installDriverService(const std::wstring& binary) {
        ServiceConfig c;
        c.name = L"applesmc";
        c.binaryPath = binary;
        scm.services[c.name] = FakeServiceManager::Service{c, false};
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
                  L"copy " + SOURCE + L" -> " + INSTALLED, L"create applesmc", L"start applesmc",
                  L"close service", L"close manager"}));
    ASSERT_EQ(scm.services.count(L"applesmc"), 1u);
    const auto& s = scm.services[L"applesmc"];
    EXPECT_EQ(s.config.displayName, L"Apple SMC Driver");
    EXPECT_EQ(s.config.access, 0xF01FFu);
    EXPECT_EQ(s.config.serviceType, 1u);
    EXPECT_EQ(s.config.startType, 3u);
    EXPECT_EQ(s.config.errorControl, 1u);
    EXPECT_EQ(s.config.binaryPath, INSTALLED);
    EXPECT_TRUE(s.running);
    EXPECT_TRUE(scm.openHandles.empty());
}

TEST_F(SmcDriverService, AFailedCopyOverNothingRegistersNoServiceThatCouldNeverStart) {
    scm.files = {SOURCE};
    scm.copyFails = true;
    installSmcDriverService();
    EXPECT_EQ(scm.calls, (std::vector<std::wstring>{
                             L"openManager 0xF003F", L"openService applesmc 0x14",
                             L"exists " + SOURCE, L"copy " + SOURCE + L" -> " + INSTALLED,
                             L"exists " + INSTALLED, L"close manager"}));
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
