#pragma once

#include "fakes/app_fixture.h"
#include "fakes/fake_file_system.h"
#include "fakes/recording_controller.h"
#include "settings/registry_settings.h"

#include <memory>

// The program after its start-up on a notebook with two fans and measured temperatures, with
// the file system fake installed too.
class AutomationTest : public FakeAppTest {
protected:
    void SetUp() override {
        FakeAppTest::SetUp();
        platform.fileSystem = &files;
        systemInfo.battery = 1; // a battery, charged high
        systemInfo.acLine = 1;
        auto owned = std::make_unique<RecordingController>();
        owned->fanChannels = {makeFan(0, 1200, 6000, 2000), makeFan(1, 1000, 5000, 1800)};
        backend = owned.get();
        app.regulation.controller = std::move(owned);
        app.regulation.readings.fanList = backend->fanChannels;
        app.regulation.safety.cpuAge = app.regulation.safety.gpuAge = 0;
        app.startupFinished = true;
    }
    void TearDown() override {
        app.measurementLog.writer.reset(); // its thread uses the fakes
        FakeAppTest::TearDown();
    }
    std::uint32_t stored(const wchar_t* name) const {
        return registry.dword(RegistryRoot::CurrentUser, SETTINGS_KEY_PATH, name).value_or(0xDEAD);
    }

    FakeFileSystem files;
    RecordingController* backend = nullptr;
};
