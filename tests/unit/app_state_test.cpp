#include "fakes/app_fixture.h"
#include "fakes/recording_controller.h"

TEST_F(AppTest, StartUpValues) {
    EXPECT_EQ(app.regulation.readings.cpuTemp, 42.0);
    EXPECT_EQ(app.regulation.readings.gpuTemp, 38.0);
    EXPECT_EQ(app.regulation.readings.powerWatts, 25.0);
    EXPECT_EQ(app.settings.mode, ControlMode::SystemAuto);
    EXPECT_EQ(app.settings.curve, DEFAULT_CURVE);
    EXPECT_EQ(app.settings.manualRpm[0], 2200.0);
    EXPECT_EQ(app.settings.manualRpm[1], 2000.0);
    for (double last : app.regulation.lastCurveRpm)
        EXPECT_EQ(last, -1.0);
    EXPECT_EQ(app.regulation.notice.text, L"Ventrasol initialisiert...");
    EXPECT_TRUE(app.settings.resetFansOnExit && app.settings.startMinimized &&
                app.settings.linkSliders);
    EXPECT_FALSE(app.settings.autostartEnabled || app.regulation.notice.isError ||
                 app.trayIcon.added);
    EXPECT_EQ(app.regulation.controller, nullptr);
    EXPECT_EQ(app.ui.dpiScale, 1.0f);
    EXPECT_EQ(app.ui.dragTarget, -1);
    EXPECT_EQ(app.ui.activeTab, 0);
}

TEST(AppStateLifetime, AStateThatGoesOutOfScopeDestroysItsBackend) {
    int destroyed = 0;
    {
        AppState state;
        auto backend = std::make_unique<RecordingController>();
        backend->destroyedCounter = &destroyed;
        state.regulation.controller = std::move(backend);
        EXPECT_EQ(destroyed, 0);
    }
    EXPECT_EQ(destroyed, 1);
}
