#include "contract/file_system_contract.h"
#include "fakes/fake_file_system.h"

INSTANTIATE_TEST_SUITE_P(Fake, FileSystemContract,
                         ::testing::Values(FileSystemSubject{
                             "Fake", [] { return std::make_unique<FakeFileSystem>(); },
                             [] { return std::wstring(L"C:\\Scratch"); }}),
                         fileSystemSubjectName);
