#pragma once

#include "fakes/fake_registry.h"
#include "fakes/fake_system_info.h"
#include "fakes/fake_task_scheduler.h"
#include "fakes/platform_fixture.h"
#include "fakes/recording_window_host.h"

// An in-memory registry, fixed system facts, a recording window host and an in-memory task
// scheduler installed; each case gets fresh ones.
class FakePlatformTest : public PlatformTest {
protected:
    FakePlatformTest() {
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
