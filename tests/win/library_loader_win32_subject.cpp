#include "contract/library_loader_contract.h"
#include "platform/win32/win32_library_loader.h"

INSTANTIATE_TEST_SUITE_P(Win32, LibraryLoaderContract,
                         ::testing::Values(LibraryLoaderSubject{
                             "Win32", [] { return std::make_unique<Win32LibraryLoader>(); },
                             L"kernel32.dll", "GetTickCount"}),
                         libraryLoaderSubjectName);
