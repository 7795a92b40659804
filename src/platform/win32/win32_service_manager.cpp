#include "platform/win32/win32_service_manager.h"

#include <windows.h>

#include <aclapi.h>
#include <knownfolders.h>
#include <sddl.h>
#include <shlobj.h>

#include <vector>

namespace {
SC_HANDLE toHandle(ServiceHandle handle) {
    return reinterpret_cast<SC_HANDLE>(handle);
}
ServiceHandle fromHandle(SC_HANDLE handle) {
    return reinterpret_cast<ServiceHandle>(handle);
}

std::wstring withoutTrailingBackslash(std::wstring path) {
    while (!path.empty() && path.back() == L'\\')
        path.pop_back();
    return path;
}

// The accounts that may change what an elevated program loads: Administrators, SYSTEM and the
// TrustedInstaller service.
bool isTrustedAccount(PSID sid) {
    if (sid == nullptr || !IsValidSid(sid))
        return false;
    if (IsWellKnownSid(sid, WinBuiltinAdministratorsSid) || IsWellKnownSid(sid, WinLocalSystemSid))
        return true;
    PSID installer = nullptr;
    if (!ConvertStringSidToSidW(L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464",
                                &installer))
        return false;
    const bool same = EqualSid(sid, installer) != FALSE;
    LocalFree(installer);
    return same;
}

// Writing, replacing or deleting the object or, for a folder, what lies in it; changing its
// security or owner.
constexpr DWORD WRITE_RIGHTS = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA |
                               FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER |
                               GENERIC_WRITE | GENERIC_ALL;
} // namespace

ServiceHandle Win32ServiceManager::openManager(std::uint32_t access) {
    return fromHandle(OpenSCManagerW(nullptr, nullptr, access));
}

ServiceHandle Win32ServiceManager::openService(ServiceHandle manager, const std::wstring& name,
                                               std::uint32_t access) {
    if (!manager)
        return 0;
    return fromHandle(OpenServiceW(toHandle(manager), name.c_str(), access));
}

ServiceHandle Win32ServiceManager::createService(ServiceHandle manager,
                                                 const ServiceConfig& config) {
    if (!manager)
        return 0;
    return fromHandle(
        CreateServiceW(toHandle(manager), config.name.c_str(), config.displayName.c_str(),
                       config.access, config.serviceType, config.startType, config.errorControl,
                       config.binaryPath.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
}

bool Win32ServiceManager::startService(ServiceHandle service, std::uint32_t* error) {
    const bool started = service && StartServiceW(toHandle(service), 0, nullptr) != FALSE;
    if (!started && error)
        *error = service ? GetLastError() : ERROR_INVALID_HANDLE;
    return started;
}

bool Win32ServiceManager::setDescription(ServiceHandle service, const std::wstring& text) {
    if (!service)
        return false;
    std::wstring copy = text;
    SERVICE_DESCRIPTIONW info = {copy.data()};
    return ChangeServiceConfig2W(toHandle(service), SERVICE_CONFIG_DESCRIPTION, &info) != FALSE;
}

std::wstring Win32ServiceManager::description(ServiceHandle service) {
    if (!service)
        return {};
    DWORD needed = 0;
    QueryServiceConfig2W(toHandle(service), SERVICE_CONFIG_DESCRIPTION, nullptr, 0, &needed);
    if (needed < sizeof(SERVICE_DESCRIPTIONW))
        return {};
    // The record holds a pointer into the same buffer: keep it aligned for one.
    std::vector<SERVICE_DESCRIPTIONW> buffer(needed / sizeof(SERVICE_DESCRIPTIONW) + 1);
    const DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(SERVICE_DESCRIPTIONW));
    if (!QueryServiceConfig2W(toHandle(service), SERVICE_CONFIG_DESCRIPTION,
                              reinterpret_cast<LPBYTE>(buffer.data()), bytes, &needed) ||
        buffer[0].lpDescription == nullptr)
        return {};
    return buffer[0].lpDescription;
}

void Win32ServiceManager::closeHandle(ServiceHandle handle) {
    if (handle)
        CloseServiceHandle(toHandle(handle));
}

bool Win32ServiceManager::fileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Win32ServiceManager::copyFile(const std::wstring& from, const std::wstring& to,
                                   bool overwrite) {
    return CopyFileW(from.c_str(), to.c_str(), overwrite ? FALSE : TRUE) != FALSE;
}

std::wstring Win32ServiceManager::programFilesFolder() {
    PWSTR path = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_ProgramFiles, 0, nullptr, &path)) && path)
        folder = path;
    CoTaskMemFree(path);
    return withoutTrailingBackslash(folder);
}

std::wstring Win32ServiceManager::systemFolder() {
    wchar_t path[MAX_PATH] = {};
    const UINT n = GetSystemDirectoryW(path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return {};
    return withoutTrailingBackslash(std::wstring(path, n));
}

bool Win32ServiceManager::writableByOthers(const std::wstring& path) {
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT,
                              OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner,
                              nullptr, &dacl, nullptr, &descriptor) != ERROR_SUCCESS)
        return true;
    // No DACL at all grants everyone everything.
    bool open = !isTrustedAccount(owner) || dacl == nullptr;
    for (DWORD i = 0; !open && i < dacl->AceCount; ++i) {
        void* entry = nullptr;
        if (!GetAce(dacl, i, &entry))
            continue;
        const auto* header = static_cast<const ACE_HEADER*>(entry);
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE || (header->AceFlags & INHERIT_ONLY_ACE))
            continue;
        const auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(entry);
        PSID sid = const_cast<DWORD*>(&allowed->SidStart);
        if ((allowed->Mask & WRITE_RIGHTS) != 0 && !isTrustedAccount(sid))
            open = true;
    }
    LocalFree(descriptor);
    return open;
}
