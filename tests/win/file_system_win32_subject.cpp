#include "contract/file_system_contract.h"
#include "platform/win32/win32_file_system.h"

#include <windows.h>

namespace {

// A folder of its own below the temporary folder for every case.
std::wstring scratchFolder() {
    static int cases = 0;
    wchar_t temp[MAX_PATH + 1] = {};
    const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
    std::wstring path(temp, n);
    if (!path.empty() && path.back() == L'\\')
        path.pop_back();
    return path + L"\\ventrasol-contract-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(++cases);
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Win32, FileSystemContract,
                         ::testing::Values(FileSystemSubject{
                             "Win32", [] { return std::make_unique<Win32FileSystem>(); },
                             scratchFolder}),
                         fileSystemSubjectName);
