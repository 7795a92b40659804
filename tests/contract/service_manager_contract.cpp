#include "contract/service_manager_contract.h"

#include <chrono>

TEST_P(ServiceManagerContract, AnUnknownServiceIsNotFound) {
    const auto scm = GetParam().make();
    const ServiceHandle manager = scm->openManager(SC_MANAGER_ALL_ACCESS_VALUE);
    ASSERT_NE(manager, 0u);
    EXPECT_EQ(scm->openService(manager, L"ventrasol_no_such_service",
                               SERVICE_QUERY_STATUS_VALUE | SERVICE_START_VALUE),
              0u);
    std::uint32_t error = 0;
    EXPECT_FALSE(scm->startService(0, &error));
    EXPECT_NE(error, 0u);
    scm->closeHandle(manager);
}

TEST_P(ServiceManagerContract, FilesAreSeenAndCopiedByTheRules) {
    const auto& subject = GetParam();
    const auto scm = subject.make();
    const std::wstring missing = subject.scratchFolder + L"\\ventrasol_missing.bin";
    const std::wstring copy = subject.scratchFolder + L"\\ventrasol_copy.bin";
    EXPECT_TRUE(scm->fileExists(subject.existingFile));
    EXPECT_FALSE(scm->fileExists(missing));
    EXPECT_FALSE(scm->copyFile(missing, copy + L".x", true));
    EXPECT_FALSE(scm->fileExists(copy + L".x"));
    EXPECT_TRUE(scm->copyFile(subject.existingFile, copy, true));
    EXPECT_TRUE(scm->fileExists(copy));
    EXPECT_TRUE(scm->copyFile(subject.existingFile, copy, true));   // overwrites
    EXPECT_FALSE(scm->copyFile(subject.existingFile, copy, false)); // keeps
}

TEST_P(ServiceManagerContract,
       ACreatedServiceIsFoundOnceKeepsItsMarkAndWithoutItsFileDoesNotStart) {
    const auto& subject = GetParam();
    const auto scm = subject.make();
    const ServiceHandle manager = scm->openManager(SC_MANAGER_ALL_ACCESS_VALUE);
    ASSERT_NE(manager, 0u);
    ServiceConfig config;
    config.name = L"vscontract" +
                  std::to_wstring(std::chrono::steady_clock::now().time_since_epoch().count());
    config.displayName = L"Ventrasol contract service";
    config.access = SERVICE_ALL_ACCESS_VALUE;
    config.serviceType = SERVICE_KERNEL_DRIVER_VALUE;
    config.startType = SERVICE_DEMAND_START_VALUE;
    config.errorControl = SERVICE_ERROR_NORMAL_VALUE;
    config.binaryPath = subject.scratchFolder + L"\\ventrasol_absent.sys";

    const ServiceHandle created = scm->createService(manager, config);
    ASSERT_NE(created, 0u);
    EXPECT_EQ(scm->createService(manager, config), 0u);
    const ServiceHandle opened = scm->openService(manager, config.name,
                                                  SERVICE_QUERY_STATUS_VALUE | SERVICE_START_VALUE |
                                                      SERVICE_QUERY_CONFIG_VALUE);
    EXPECT_NE(opened, 0u);
    EXPECT_EQ(scm->description(opened), L"");
    const std::wstring mark = L"Eingerichtet von Ventrasol – Lüfter";
    EXPECT_TRUE(scm->setDescription(created, mark));
    EXPECT_EQ(scm->description(opened), mark);
    EXPECT_FALSE(scm->setDescription(0, mark));
    EXPECT_EQ(scm->description(0), L"");
    std::uint32_t error = 0;
    EXPECT_FALSE(scm->startService(opened, &error));
    EXPECT_NE(error, 0u); // 2 on Windows, 1114 under Wine
    EXPECT_NE(error, 1056u);
    scm->closeHandle(opened);
    scm->closeHandle(created);
    scm->closeHandle(manager);
}

TEST_P(ServiceManagerContract, TheMachineFoldersAreAbsoluteAndAMissingPathIsNeverProtected) {
    const auto& subject = GetParam();
    const auto scm = subject.make();
    for (const std::wstring& folder : {scm->programFilesFolder(), scm->systemFolder()}) {
        ASSERT_GE(folder.size(), 4u);
        EXPECT_EQ(folder.substr(1, 2), L":\\");
        EXPECT_NE(folder.back(), L'\\');
    }
    EXPECT_TRUE(scm->writableByOthers(subject.scratchFolder + L"\\ventrasol_missing.bin"));
}
