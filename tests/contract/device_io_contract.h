#pragma once

#include "platform/device_io.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

// make() hands out an implementation whose smcPath answers the SMC requests from the
// simulator's start-up key table (freshly reset).
struct DeviceIoSubject {
    std::string name;
    std::function<std::unique_ptr<DeviceIo>()> make;
    std::wstring smcPath;
};

class DeviceIoContract : public ::testing::TestWithParam<DeviceIoSubject> {};

inline std::string deviceIoSubjectName(const ::testing::TestParamInfo<DeviceIoSubject>& info) {
    return info.param.name;
}
