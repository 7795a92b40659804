#pragma once

#include "platform/thermal_zone_query.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

struct ThermalZoneQuerySubject {
    std::string name;
    std::function<std::unique_ptr<ThermalZoneQuery>()> make;
};

class ThermalZoneQueryContract : public ::testing::TestWithParam<ThermalZoneQuerySubject> {};

inline std::string
thermalZoneQuerySubjectName(const ::testing::TestParamInfo<ThermalZoneQuerySubject>& info) {
    return info.param.name;
}
