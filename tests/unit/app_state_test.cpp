#include "fakes/app_state_fixture.h"
#include "fakes/recording_controller.h"

TEST_F(AppStateTest, StartUpValues) {
    EXPECT_EQ(appState.cpuTemp, 42.0);
    EXPECT_EQ(appState.gpuTemp, 38.0);
    EXPECT_EQ(appState.powerWatts, 25.0);
    EXPECT_EQ(appState.mode, ControlMode::SystemAuto);
    EXPECT_EQ(appState.curve, DEFAULT_CURVE);
    EXPECT_EQ(appState.manualRpm[0], 2200.0);
    EXPECT_EQ(appState.manualRpm[1], 2000.0);
    for (double last : appState.lastCurveRpm)
        EXPECT_EQ(last, -1.0);
    EXPECT_EQ(appState.noticeText, L"Ventrasol initialisiert...");
    EXPECT_TRUE(appState.resetFansOnExit && appState.startMinimized && appState.linkSliders);
    EXPECT_FALSE(appState.autostartEnabled || appState.noticeIsError || appState.trayIcon.added);
    EXPECT_EQ(appState.controller, nullptr);
    EXPECT_EQ(appState.dpiScale, 1.0f);
    EXPECT_EQ(appState.dragTarget, -1);
    EXPECT_EQ(appState.activeTab, 0);
}

TEST_F(AppStateTest, ResetDestroysTheBackend) {
    int destroyed = 0;
    auto backend = std::make_unique<RecordingController>();
    backend->destroyedCounter = &destroyed;
    appState.controller = std::move(backend);
    appState.cpuTemp = 90.0;
    resetAppState();
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(appState.cpuTemp, 42.0);
}
