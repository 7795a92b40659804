#include "contract/registry_contract.h"
#include "platform/win32/win32_registry.h"

#include <windows.h>

namespace {

// The cases work in the private prefix's real registry; the scratch tree goes in both hives.
void removeScratch() {
    RegDeleteTreeW(HKEY_CURRENT_USER, REGISTRY_SCRATCH_PATH.c_str());
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, REGISTRY_SCRATCH_PATH.c_str());
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Win32, RegistryContract,
                         ::testing::Values(RegistrySubject{
                             "Win32", [] { return std::make_unique<Win32Registry>(); },
                             removeScratch}),
                         registrySubjectName);
