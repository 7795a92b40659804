#pragma once

#include "platform/thermal_counter_query.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

struct ThermalCounterQuerySubject {
    std::string name;
    std::function<std::unique_ptr<ThermalCounterQuery>()> make;
};

class ThermalCounterQueryContract : public ::testing::TestWithParam<ThermalCounterQuerySubject> {};

inline std::string
thermalCounterQuerySubjectName(const ::testing::TestParamInfo<ThermalCounterQuerySubject>& info) {
    return info.param.name;
}
