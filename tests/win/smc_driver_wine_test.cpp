// The real applesmc.sys under Wine, a machine without an Apple SMC: it refuses to load, so no
// port and no memory is ever touched; and the access list it puts on its device, checked with
// Windows' own access check.
#include "smc_device_acl.h"
#include "win/scoped_bios_identity.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

// build/windows/tests/win_tests.exe -> build/windows/driver/applesmc.sys
std::wstring realDriver() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    path.resize(path.find_last_of(L'\\'));
    path.resize(path.find_last_of(L'\\'));
    return path + L"\\driver\\applesmc.sys";
}

// The SMC's ACPI device with one instance whose firmware resources are the given list.
struct ScopedSmcDevice {
    explicit ScopedSmcDevice(const std::vector<BYTE>& resources) {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, (ROOT + L"\\0\\LogConf").c_str(), 0, nullptr, 0,
                            KEY_WRITE, nullptr, &key, nullptr) == ERROR_SUCCESS) {
            created = RegSetValueExW(key, L"BootConfig", 0, REG_RESOURCE_LIST, resources.data(),
                                     static_cast<DWORD>(resources.size())) == ERROR_SUCCESS;
            RegCloseKey(key);
        }
    }
    ~ScopedSmcDevice() { RegDeleteTreeW(HKEY_LOCAL_MACHINE, ROOT.c_str()); }
    const std::wstring ROOT = L"SYSTEM\\CurrentControlSet\\Enum\\ACPI\\APP0001";
    bool created = false;
};

// A resource list with one 64 KiB memory window at 0xFE0B0000 (20-byte partial descriptors).
std::vector<BYTE> windowOnly() {
    std::vector<BYTE> list = {1, 0, 0, 0, 15, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 1, 0, 0, 0};
    const BYTE memory[20] = {3, 1, 0, 0, 0, 0, 0x0B, 0xFE, 0, 0, 0, 0, 0, 0, 1, 0};
    list.insert(list.end(), memory, memory + 20);
    return list;
}

// Installs the driver under a service name of its own and starts it; Windows' error code.
DWORD startRealDriver() {
    SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    if (!manager)
        return GetLastError();
    SC_HANDLE service =
        CreateServiceW(manager, L"ventrasol_smc_probe", L"Ventrasol SMC probe", SERVICE_ALL_ACCESS,
                       SERVICE_KERNEL_DRIVER, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                       realDriver().c_str(), nullptr, nullptr, nullptr, nullptr, nullptr);
    if (!service)
        service = OpenServiceW(manager, L"ventrasol_smc_probe", SERVICE_ALL_ACCESS);
    DWORD error = service ? ERROR_SUCCESS : GetLastError();
    if (service && !StartServiceW(service, 0, nullptr))
        error = GetLastError();
    if (service) {
        SERVICE_STATUS status{};
        ControlService(service, SERVICE_CONTROL_STOP, &status);
        DeleteService(service);
        CloseServiceHandle(service);
    }
    CloseServiceHandle(manager);
    return error;
}

} // namespace

// 55 is ERROR_DEV_NOT_EXIST, what the driver's refusal (STATUS_DEVICE_DOES_NOT_EXIST) becomes.
TEST(RealSmcDriverUnderWine, RefusesToLoadWhereNoAppleSmcAnswers) {
    ASSERT_NE(GetFileAttributesW(realDriver().c_str()), INVALID_FILE_ATTRIBUTES);
    ScopedBiosIdentity bios;
    ASSERT_TRUE(bios.isOpen());
    bios.set(L"SystemManufacturer", L"ASUSTeK COMPUTER INC.");
    EXPECT_EQ(startRealDriver(), 55u) << "another maker";
    {
        ScopedSmcDevice smc(windowOnly());
        ASSERT_TRUE(smc.created);
        EXPECT_EQ(startRealDriver(), 55u) << "another maker with an SMC device";
    }
    bios.set(L"SystemManufacturer", L"Apple Inc.");
    EXPECT_EQ(startRealDriver(), 55u) << "an Apple machine without the SMC's device";
    ScopedSmcDevice smc(windowOnly());
    ASSERT_TRUE(smc.created);
    // Wine maps no physical memory: the window is there, but nothing answers behind it.
    EXPECT_EQ(startRealDriver(), 55u) << "an Apple machine whose SMC window cannot be reached";
}

TEST(RealSmcDriverUnderWine, ItsAccessListAdmitsAdministratorsAndNoOneElse) {
    alignas(4) BYTE acl[SMC_DEVICE_ACL_SIZE] = {};
    ASSERT_EQ(smcDeviceAcl(acl, sizeof acl), SMC_DEVICE_ACL_SIZE);
    ASSERT_TRUE(IsValidAcl(reinterpret_cast<PACL>(acl)));
    SECURITY_DESCRIPTOR descriptor;
    ASSERT_TRUE(InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION));
    ASSERT_TRUE(SetSecurityDescriptorDacl(&descriptor, TRUE, reinterpret_cast<PACL>(acl), FALSE));
    BYTE admins[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof admins;
    ASSERT_TRUE(CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, admins, &size));
    SetSecurityDescriptorOwner(&descriptor, admins, FALSE);
    SetSecurityDescriptorGroup(&descriptor, admins, FALSE);

    HANDLE process = nullptr, restricted = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_ALL_ACCESS, &process));
    // The same user with the Administrators group only for denying, as a program without
    // elevation runs.
    SID_AND_ATTRIBUTES deny = {admins, 0};
    ASSERT_TRUE(CreateRestrictedToken(process, 0, 1, &deny, 0, nullptr, 0, nullptr, &restricted));
    const auto granted = [&](HANDLE token) {
        HANDLE impersonation = nullptr;
        EXPECT_TRUE(DuplicateToken(token, SecurityImpersonation, &impersonation));
        GENERIC_MAPPING mapping = {FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE,
                                   FILE_ALL_ACCESS};
        DWORD wanted = GENERIC_READ | GENERIC_WRITE;
        MapGenericMask(&wanted, &mapping);
        PRIVILEGE_SET privileges;
        DWORD privilegesSize = sizeof privileges, access = 0;
        BOOL allowed = FALSE;
        EXPECT_TRUE(AccessCheck(&descriptor, impersonation, wanted, &mapping, &privileges,
                                &privilegesSize, &access, &allowed));
        CloseHandle(impersonation);
        return allowed != FALSE;
    };
    EXPECT_TRUE(granted(process)) << "the elevated program";
    EXPECT_FALSE(granted(restricted)) << "a program without administrator rights";
    CloseHandle(restricted);
    CloseHandle(process);
}
