#include "contract/task_scheduler_contract.h"
#include "platform/win32/win32_task_scheduler.h"

INSTANTIATE_TEST_SUITE_P(Win32, TaskSchedulerContract,
                         ::testing::Values(TaskSchedulerSubject{
                             "Win32", [] { return std::make_unique<Win32TaskScheduler>(); }}),
                         taskSchedulerSubjectName);
