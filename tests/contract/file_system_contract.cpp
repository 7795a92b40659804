#include "contract/file_system_contract.h"

#include <algorithm>

namespace {

bool listed(const std::vector<std::wstring>& names, const std::wstring& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

} // namespace

TEST_P(FileSystemContract, LocalAppDataIsAnAbsolutePath) {
    const std::wstring path = GetParam().make()->localAppDataFolder();
    ASSERT_GE(path.size(), 3u);
    EXPECT_TRUE((path[1] == L':' && path[2] == L'\\') || path.rfind(L"\\\\", 0) == 0);
    EXPECT_NE(path.back(), L'\\');
}

TEST_P(FileSystemContract, FoldersAreMadeWithTheirParentsButNotOverAFile) {
    const auto files = GetParam().make();
    const std::wstring root = GetParam().scratch();
    const std::wstring deep = root + L"\\a\\b";
    EXPECT_TRUE(files->createFolder(deep));
    EXPECT_TRUE(files->createFolder(deep)) << "an existing folder is fine";
    ASSERT_TRUE(files->append(root + L"\\blocker", "x"));
    EXPECT_FALSE(files->createFolder(root + L"\\blocker"));
    EXPECT_FALSE(files->createFolder(root + L"\\blocker\\below"));
    EXPECT_TRUE(files->deleteFile(root + L"\\blocker"));
}

TEST_P(FileSystemContract, AppendsKeepEveryByteAndTheEndIsReported) {
    const auto files = GetParam().make();
    const std::wstring root = GetParam().scratch();
    ASSERT_TRUE(files->createFolder(root));
    const std::wstring path = root + L"\\log.csv";
    std::uint64_t size = 99;
    char last = 'x';
    EXPECT_FALSE(files->fileEnd(path, &size, &last)) << "no file yet";
    ASSERT_TRUE(files->append(path, ""));
    ASSERT_TRUE(files->fileEnd(path, &size, &last));
    EXPECT_EQ(size, 0u);
    ASSERT_TRUE(files->append(path, "Zeit,Modus\n"));
    ASSERT_TRUE(files->append(path, std::string("2024,L\xC3\xBC", 8)));
    ASSERT_TRUE(files->fileEnd(path, &size, &last));
    EXPECT_EQ(size, 19u);
    EXPECT_EQ(last, '\xBC');
    EXPECT_FALSE(files->append(root + L"\\missing\\log.csv", "row\n")) << "no folder";
    EXPECT_TRUE(files->deleteFile(path));
    EXPECT_FALSE(files->fileEnd(path, &size, &last));
}

TEST_P(FileSystemContract, ListingNamesFilesOnlyAndDeletingRemovesThem) {
    const auto files = GetParam().make();
    const std::wstring root = GetParam().scratch();
    ASSERT_TRUE(files->createFolder(root + L"\\sub"));
    ASSERT_TRUE(files->append(root + L"\\ventrasol-2024-01-01.csv", "a\n"));
    ASSERT_TRUE(files->append(root + L"\\other.txt", "b\n"));
    const std::vector<std::wstring> names = files->listFiles(root);
    EXPECT_EQ(names.size(), 2u);
    EXPECT_TRUE(listed(names, L"ventrasol-2024-01-01.csv"));
    EXPECT_TRUE(listed(names, L"other.txt"));
    EXPECT_FALSE(listed(names, L"sub"));
    EXPECT_TRUE(files->deleteFile(root + L"\\ventrasol-2024-01-01.csv"));
    EXPECT_FALSE(files->deleteFile(root + L"\\ventrasol-2024-01-01.csv"));
    EXPECT_EQ(files->listFiles(root), std::vector<std::wstring>{L"other.txt"});
    EXPECT_TRUE(files->listFiles(root + L"\\missing").empty());
    EXPECT_TRUE(files->deleteFile(root + L"\\other.txt"));
}

TEST_P(FileSystemContract, AMissingFolderIsNotOpened) {
    const auto files = GetParam().make();
    EXPECT_FALSE(files->openFolder(GetParam().scratch() + L"\\missing"));
}
