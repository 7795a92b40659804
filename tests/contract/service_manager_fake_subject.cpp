#include "contract/service_manager_contract.h"
#include "fakes/fake_service_manager.h"

namespace {
const wchar_t* const EXISTING = L"C:\\Program Files\\Ventrasol\\ventrasol.exe";
}

INSTANTIATE_TEST_SUITE_P(Fake, ServiceManagerContract,
                         ::testing::Values(ServiceManagerSubject{
                             "Fake",
                             [] {
                                 auto scm = std::make_unique<FakeServiceManager>();
                                 scm->files.insert(EXISTING);
                                 return scm;
                             },
                             EXISTING, L"C:\\Temp"}),
                         serviceManagerSubjectName);
