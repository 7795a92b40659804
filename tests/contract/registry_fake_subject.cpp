#include "contract/registry_contract.h"
#include "fakes/fake_registry.h"

INSTANTIATE_TEST_SUITE_P(Fake, RegistryContract,
                         ::testing::Values(RegistrySubject{
                             "Fake", [] { return std::make_unique<FakeRegistry>(); }, nullptr}),
                         registrySubjectName);
