#include "contract/thermal_zone_query_contract.h"
#include "fakes/fake_thermal_zone_query.h"

INSTANTIATE_TEST_SUITE_P(Fake, ThermalZoneQueryContract,
                         ::testing::Values(ThermalZoneQuerySubject{
                             "Fake",
                             [] {
                                 auto wmi = std::make_unique<FakeThermalZoneQuery>();
                                 wmi->rows = {
                                     FakeThermalZoneQuery::row(3000, L"ACPI\\ThermalZone\\CPUZ_0"),
                                     FakeThermalZoneQuery::unnamedRow(3100, VARIANT_TYPE_UI4)};
                                 ThermalZoneRow text;
                                 text.temperatureRead = true;
                                 text.temperatureType = VARIANT_TYPE_BSTR;
                                 wmi->rows.push_back(text);
                                 return wmi;
                             }}),
                         thermalZoneQuerySubjectName);
