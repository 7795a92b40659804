#include "contract/library_loader_contract.h"
#include "fakes/fake_library_loader.h"

namespace {
void exported() {}
} // namespace

INSTANTIATE_TEST_SUITE_P(Fake, LibraryLoaderContract,
                         ::testing::Values(LibraryLoaderSubject{
                             "Fake",
                             [] {
                                 auto loader = std::make_unique<FakeLibraryLoader>();
                                 loader->available[L"kernel32.dll"]["GetTickCount"] = &exported;
                                 return loader;
                             },
                             L"kernel32.dll", "GetTickCount"}),
                         libraryLoaderSubjectName);
