// A simulated day of each backend against its fakes: 86,400 ticks (one per simulated second),
// each painted, the temperatures wandering, the mode changing every hour with the curve among
// the modes. Prints the heap in use at the start, after the first round of the eight hourly
// modes (warm-up: every text and list has had its longest value once) and at the end, which
// falls on the same point of the round; any growth after the warm-up is a leak. Exits 1 when
// the heap grew.
//
//   ventrasol_soak [ticks]     default 86,400; a multiple of 28,800 ends where a round ends
#include "app/app_state.h"
#include "app/app_tick.h"
#include "fakes/await_sample.h"
#include "fakes/fake_library_loader.h"
#include "fakes/fake_nvapi.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_smc_device.h"
#include "fakes/fake_thermal_zone_query.h"
#include "fakes/recording_canvas.h"
#include "hardware/apple_smc_controller.h"
#include "hardware/universal_pc_controller.h"
#include "platform/platform.h"
#include "quiet_window_host.h"
#include "regulation/control_modes.h"
#include "ui/paint_window.h"

#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>

namespace {

std::size_t heapInUse() {
    return mallinfo2().uordblks;
}

const ControlMode HOURLY[] = {ControlMode::Curve,    ControlMode::Quiet,     ControlMode::Curve,
                              ControlMode::Manual,   ControlMode::Max,       ControlMode::Curve,
                              ControlMode::Balanced, ControlMode::SystemAuto};

constexpr long ROUND = 3600 * static_cast<long>(sizeof HOURLY / sizeof HOURLY[0]);

// Runs the day; setTemperature moves the fakes to the given CPU temperature before a tick,
// and forgetRecords empties what the fakes remember (their logs are not the program's memory).
bool soak(AppState& app, const char* name, long ticks,
          const std::function<void(double)>& setTemperature,
          const std::function<void()>& forgetRecords) {
    std::size_t start = 0, warm = 0;
    for (long t = 0; t < ticks; ++t) {
        if (t % 3600 == 0)
            applyControlMode(app.regulation, app.settings,
                             HOURLY[(t / 3600) % (sizeof HOURLY / sizeof HOURLY[0])]);
        setTemperature(45.0 + static_cast<double>((t * 7) % 400) / 10.0);
        tickApp(app);
        {
            RecordingCanvas canvas;
            app.ui.activeTab = static_cast<std::int32_t>((t / 600) % 6);
            paintWindow(canvas, {0, 0, 740, 1080}, app.ui,
                        {app.settings, app.regulation, app.identity, app.inventory});
        }
        forgetRecords();
        if (t == 0)
            start = heapInUse();
        if (t == ROUND - 1 || (ticks < ROUND && t == 0))
            warm = heapInUse();
    }
    const std::size_t end = heapInUse();
    std::printf("soak %s: %ld ticks, heap in use %zu bytes at start, %zu after warm-up, %zu at "
                "the end\n",
                name, ticks, start, warm, end);
    return end <= warm;
}

} // namespace

int main(int argc, char** argv) {
    const long ticks = argc > 1 ? std::atol(argv[1]) : 86400;
    FakeRegistry registry;
    QuietWindowHost host;
    bool ok = true;

    {
        AppState app;
        platform = Platform{};
        platform.registry = &registry;
        platform.windowHost = &host;
        app.trayIcon.added = true;
        FakeSmcDevice device;
        app.regulation.controller = std::make_unique<AppleSmcController>(&device);
        app.regulation.controller->connect(SystemIdentity{});
        ok &= soak(
            app, "apple", ticks,
            [&](double celsius) { device.setFloat("TC0P", static_cast<float>(celsius)); },
            [&] {
                device.requests.clear();
                registry.writes.clear();
            });
        app.regulation.controller.reset();
    }
    {
        AppState app;
        platform = Platform{};
        platform.registry = &registry;
        platform.windowHost = &host;
        app.trayIcon.added = true;
        FakeThermalZoneQuery wmi;
        FakeLibraryLoader loader;
        FakeNvapi nvapi;
        nvapi.installInto(&loader);
        wmi.rows = {FakeThermalZoneQuery::row(3200, L"CPU"),
                    FakeThermalZoneQuery::row(3100, L"PCH")};
        auto owned = std::make_unique<UniversalPCController>(&loader, &wmi, std::chrono::hours(1));
        UniversalPCController* pc = owned.get();
        app.regulation.controller = std::move(owned);
        pc->connect(SystemIdentity{});
        pc->sampleSoon();
        awaitSample(*pc, 0);
        ok &= soak(
            app, "generic", ticks,
            [&](double celsius) {
                // The sensor thread is idle between the snapshots asked for here.
                wmi.rows[0].temperatureBits = static_cast<std::uint32_t>((celsius + 273.15) * 10);
                nvapi.temperature = static_cast<std::int32_t>(celsius) - 5;
                const std::uint64_t seen = pc->samplesTaken();
                pc->sampleSoon();
                awaitSample(*pc, seen);
            },
            [&] {
                wmi.events.clear();
                nvapi.calls.clear();
                registry.writes.clear();
            });
        app.regulation.controller.reset();
    }
    platform = Platform{};
    return ok ? 0 : 1;
}
