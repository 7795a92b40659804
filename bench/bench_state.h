#pragma once

#include "app/app_state.h"
#include "bench_backend.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_system_info.h"
#include "quiet_window_host.h"
#include "ui/window_model.h"

// The state of a running program a moment after start-up, on fakes: a connected two-fan
// backend with its readings, curve mode, the tray icon, the machine inventory and stored
// settings. Construct one per benchmark; the destructor leaves platform empty.
class BenchState {
public:
    BenchState();
    ~BenchState();
    BenchState(const BenchState&) = delete;
    BenchState& operator=(const BenchState&) = delete;

    WindowModel model() const {
        return {app.settings, app.regulation, app.identity, app.inventory};
    }

    BenchController* controller = nullptr; // owned by app
    FakeRegistry registry;
    FakeSystemInfo systemInfo;
    QuietWindowHost host;
    // Last, so that its backend goes before the fakes.
    AppState app;
};
