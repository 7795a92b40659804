#pragma once

#include "fakes/app_state_fixture.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_system_info.h"
#include "fakes/fake_task_scheduler.h"
#include "fakes/recording_window_host.h"

// The start-up state with an in-memory registry, fixed system facts, a recording window host
// and an in-memory task scheduler installed; each case gets fresh ones.
class FakePlatformTest : public AppStateTest {
protected:
    void SetUp() override {
        AppStateTest::SetUp();
        platform.registry = &registry;
        platform.systemInfo = &systemInfo;
        platform.windowHost = &host;
        platform.taskScheduler = &scheduler;
    }

    FakeRegistry registry;
    FakeSystemInfo systemInfo;
    RecordingWindowHost host;
    FakeTaskScheduler scheduler;
};
