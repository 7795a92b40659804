#include "contract/library_loader_contract.h"

TEST_P(LibraryLoaderContract, AMissingLibraryGivesNothing) {
    const auto loader = GetParam().make();
    EXPECT_EQ(loader->load(L"ventrasol_no_such_library.dll"), 0u);
    EXPECT_EQ(loader->symbol(0, GetParam().presentExport.c_str()), nullptr);
    loader->free(0); // harmless
}

TEST_P(LibraryLoaderContract, APresentLibraryResolvesItsOwnExportsOnly) {
    const auto& subject = GetParam();
    const auto loader = subject.make();
    const LibraryHandle module = loader->load(subject.presentLibrary);
    ASSERT_NE(module, 0u);
    EXPECT_NE(loader->symbol(module, subject.presentExport.c_str()), nullptr);
    EXPECT_EQ(loader->symbol(module, "VentrasolNoSuchExport"), nullptr);
    loader->free(module);
}

TEST_P(LibraryLoaderContract, EachLoadNeedsItsOwnFree) {
    const auto& subject = GetParam();
    const auto loader = subject.make();
    const LibraryHandle first = loader->load(subject.presentLibrary);
    const LibraryHandle second = loader->load(subject.presentLibrary);
    ASSERT_NE(first, 0u);
    EXPECT_EQ(first, second);
    loader->free(first);
    EXPECT_NE(loader->symbol(second, subject.presentExport.c_str()), nullptr);
    loader->free(second);
}
