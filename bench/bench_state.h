#pragma once

#include "bench_backend.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_system_info.h"
#include "quiet_window_host.h"

// The state of a running program a moment after start-up, on fakes: a connected two-fan
// backend with its readings, curve mode, the tray icon, the machine inventory and stored
// settings. Construct one per benchmark; the destructor leaves appState and platform empty.
class BenchState {
public:
    BenchState();
    ~BenchState();
    BenchState(const BenchState&) = delete;
    BenchState& operator=(const BenchState&) = delete;

    BenchController* controller = nullptr; // owned by appState
    FakeRegistry registry;
    FakeSystemInfo systemInfo;
    QuietWindowHost host;
};
