#include "contract/thermal_counter_query_contract.h"
#include "fakes/fake_thermal_counter_query.h"

INSTANTIATE_TEST_SUITE_P(Fake, ThermalCounterQueryContract,
                         ::testing::Values(
                             ThermalCounterQuerySubject{
                                 "Fake",
                                 [] {
                                     auto pdh = std::make_unique<FakeThermalCounterQuery>();
                                     pdh->rows = {FakeThermalCounterQuery::row(3000, L"\\_TZ.CPUZ"),
                                                  {L"\\_TZ.BAT0", false, 0}};
                                     return pdh;
                                 }},
                             ThermalCounterQuerySubject{
                                 "FakeWithoutCounters",
                                 [] {
                                     auto pdh = std::make_unique<FakeThermalCounterQuery>();
                                     pdh->counterMissing = true;
                                     return pdh;
                                 }}),
                         thermalCounterQuerySubjectName);
