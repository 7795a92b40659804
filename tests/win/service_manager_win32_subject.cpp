#include "contract/service_manager_contract.h"
#include "platform/win32/win32_service_manager.h"
#include "platform/win32/win32_system_info.h"

#include <windows.h>

namespace {
std::wstring tempFolder() {
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD n = GetTempPathW(MAX_PATH + 1, path);
    std::wstring folder(path, n);
    while (!folder.empty() && folder.back() == L'\\')
        folder.pop_back();
    return folder;
}
} // namespace

INSTANTIATE_TEST_SUITE_P(Win32, ServiceManagerContract,
                         ::testing::Values(ServiceManagerSubject{
                             "Win32", [] { return std::make_unique<Win32ServiceManager>(); },
                             Win32SystemInfo().modulePath(), tempFolder()}),
                         serviceManagerSubjectName);
