#include "bench_state.h"

#include "app/app_state.h"
#include "app/tray.h"
#include "inventory/inventory.h"
#include "platform/platform.h"
#include "regulation/control_modes.h"
#include "regulation/periodic_tick.h"
#include "settings/registry_settings.h"
#include "ui/history.h"

#include <cmath>
#include <memory>

BenchState::BenchState() {
    platform = Platform{};
    platform.registry = &registry;
    platform.systemInfo = &systemInfo;
    platform.windowHost = &host;

    systemInfo.brand = FakeSystemInfo::padBrand("Generic 8-Core Processor @ 3.80GHz");
    systemInfo.processors = 16;
    systemInfo.displays = {L"Generic Display Adapter", L"Generic Display Adapter"};
    systemInfo.drives['D'] = FakeSystemInfo::Drive{};

    app.identity.manufacturer = L"Generic PC";
    app.identity.product = L"Tower 5000";
    app.identity.boardManufacturer = L"Board Maker";
    app.identity.boardProduct = L"B650 Pro";
    app.identity.biosVersion = L"F12";

    auto backend = std::make_unique<BenchController>();
    backend->connect(app.identity);
    controller = backend.get();
    app.regulation.controller = std::move(backend);

    app.inventory = collectInventory(app.identity, app.regulation.controller.get());
    addTrayIcon(app.trayIcon);
    runTick(app.regulation, app.settings);
    applyControlMode(app.regulation, app.settings, ControlMode::Curve);
    runTick(app.regulation, app.settings);
    saveSettings(app.settings);

    // A chart with five full minutes of moving readings, as after any real five minutes.
    app.ui.history = History{};
    for (std::size_t i = 0; i < HISTORY_CAPACITY; ++i) {
        const float wave = static_cast<float>(std::sin(static_cast<double>(i) / 17.0));
        app.ui.history.push({55.0f + 12.0f * wave,
                             47.0f + 6.0f * wave,
                             {2400.0f + 600.0f * wave, 2200.0f + 500.0f * wave}});
    }
}

BenchState::~BenchState() {
    app.regulation.controller.reset();
    platform = Platform{};
}
