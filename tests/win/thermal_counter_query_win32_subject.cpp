#include "contract/thermal_counter_query_contract.h"
#include "platform/win32/win32_thermal_counter_query.h"

INSTANTIATE_TEST_SUITE_P(Win32, ThermalCounterQueryContract,
                         ::testing::Values(ThermalCounterQuerySubject{
                             "Win32", [] { return std::make_unique<Win32ThermalCounterQuery>(); }}),
                         thermalCounterQuerySubjectName);
