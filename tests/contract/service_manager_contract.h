#pragma once

#include "platform/service_manager.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

// existingFile is a file the implementation sees; scratchFolder a writable folder (no
// trailing backslash) in which the suite may create files.
struct ServiceManagerSubject {
    std::string name;
    std::function<std::unique_ptr<ServiceManager>()> make;
    std::wstring existingFile;
    std::wstring scratchFolder;
};

class ServiceManagerContract : public ::testing::TestWithParam<ServiceManagerSubject> {};

inline std::string
serviceManagerSubjectName(const ::testing::TestParamInfo<ServiceManagerSubject>& info) {
    return info.param.name;
}
