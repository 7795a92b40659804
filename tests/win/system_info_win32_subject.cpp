#include "contract/system_info_contract.h"
#include "platform/win32/win32_system_info.h"

INSTANTIATE_TEST_SUITE_P(Win32, SystemInfoContract,
                         ::testing::Values(SystemInfoSubject{
                             "Win32", [] { return std::make_unique<Win32SystemInfo>(); }}),
                         systemInfoSubjectName);
