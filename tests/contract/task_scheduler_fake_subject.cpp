#include "contract/task_scheduler_contract.h"
#include "fakes/fake_task_scheduler.h"

INSTANTIATE_TEST_SUITE_P(Fake, TaskSchedulerContract,
                         ::testing::Values(TaskSchedulerSubject{
                             "Fake", [] { return std::make_unique<FakeTaskScheduler>(); }}),
                         taskSchedulerSubjectName);
