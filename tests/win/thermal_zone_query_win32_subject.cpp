#include "contract/thermal_zone_query_contract.h"
#include "platform/win32/win32_thermal_zone_query.h"

INSTANTIATE_TEST_SUITE_P(Win32, ThermalZoneQueryContract,
                         ::testing::Values(ThermalZoneQuerySubject{
                             "Win32", [] { return std::make_unique<Win32ThermalZoneQuery>(); }}),
                         thermalZoneQuerySubjectName);
