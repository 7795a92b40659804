#pragma once

#include "platform/system_info.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

// Each binary instantiates this suite with the implementations it can run.
struct SystemInfoSubject {
    std::string name;
    std::function<std::unique_ptr<SystemInfo>()> make;
};

class SystemInfoContract : public ::testing::TestWithParam<SystemInfoSubject> {};

inline std::string systemInfoSubjectName(const ::testing::TestParamInfo<SystemInfoSubject>& info) {
    return info.param.name;
}
