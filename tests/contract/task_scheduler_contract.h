#pragma once

#include "platform/task_scheduler.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

struct TaskSchedulerSubject {
    std::string name;
    std::function<std::unique_ptr<TaskScheduler>()> make;
};

class TaskSchedulerContract : public ::testing::TestWithParam<TaskSchedulerSubject> {};

inline std::string
taskSchedulerSubjectName(const ::testing::TestParamInfo<TaskSchedulerSubject>& info) {
    return info.param.name;
}
