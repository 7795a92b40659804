#pragma once

#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

// scratch: a folder of the subject's own that does not exist yet, on a writable drive.
struct FileSystemSubject {
    std::string name;
    std::function<std::unique_ptr<FileSystem>()> make;
    std::function<std::wstring()> scratch;
};

class FileSystemContract : public ::testing::TestWithParam<FileSystemSubject> {};

inline std::string fileSystemSubjectName(const ::testing::TestParamInfo<FileSystemSubject>& info) {
    return info.param.name;
}
