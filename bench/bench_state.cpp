#include "bench_state.h"

#include "app/app_state.h"
#include "app/tray.h"
#include "inventory/inventory.h"
#include "platform/platform.h"
#include "regulation/control_modes.h"
#include "regulation/periodic_tick.h"
#include "settings/registry_settings.h"

#include <memory>

BenchState::BenchState() {
    resetAppState();
    platform = Platform{};
    platform.registry = &registry;
    platform.systemInfo = &systemInfo;
    platform.windowHost = &host;

    systemInfo.brand = FakeSystemInfo::padBrand("Generic 8-Core Processor @ 3.80GHz");
    systemInfo.processors = 16;
    systemInfo.displays = {L"Generic Display Adapter", L"Generic Display Adapter"};
    systemInfo.drives['D'] = FakeSystemInfo::Drive{};

    appState.identity.manufacturer = L"Generic PC";
    appState.identity.product = L"Tower 5000";
    appState.identity.boardManufacturer = L"Board Maker";
    appState.identity.boardProduct = L"B650 Pro";
    appState.identity.biosVersion = L"F12";

    auto backend = std::make_unique<BenchController>();
    backend->connect(appState.identity);
    controller = backend.get();
    appState.controller = std::move(backend);

    collectInventory();
    addTrayIcon();
    runTick();
    applyControlMode(ControlMode::Curve);
    runTick();
    saveSettings();
}

BenchState::~BenchState() {
    resetAppState();
    platform = Platform{};
}
