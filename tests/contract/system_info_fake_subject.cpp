#include "contract/system_info_contract.h"
#include "fakes/fake_system_info.h"

INSTANTIATE_TEST_SUITE_P(Fake, SystemInfoContract,
                         ::testing::Values(SystemInfoSubject{
                             "Fake", [] { return std::make_unique<FakeSystemInfo>(); }}),
                         systemInfoSubjectName);
