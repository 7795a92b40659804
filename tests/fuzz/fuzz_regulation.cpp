// The whole regulation against a backend that answers anything: ticks with any readings, any
// curve points, mode changes, manual speeds, the curve chart and the pointer at the extremes
// of its 16-bit coordinates. The backend is either a recording one that reports fuzzed
// readings, or the SMC backend over a device whose every reply (success, size, bytes) comes
// from the input. Whatever reaches a fan must be a finite speed inside that fan's range.
#include "fuzz/fuzz_input.h"

#include "app/app_state.h"
#include "app/app_tick.h"
#include "app/pointer_input.h"
#include "fakes/fake_registry.h"
#include "fakes/recording_canvas.h"
#include "fakes/recording_controller.h"
#include "fakes/recording_window_host.h"
#include "hardware/apple_smc_controller.h"
#include "hardware/smc_codec.h"
#include "platform/platform.h"
#include "regulation/control_modes.h"
#include "regulation/fan_curve.h"
#include "ui/curve_geometry.h"
#include "ui/paint_window.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

namespace {

// Any double, with the awkward ones (NaN, infinities, zero, huge) well represented.
double anyDouble(FuzzInput& in) {
    switch (in.byte() % 8) {
    case 0:
        return std::numeric_limits<double>::quiet_NaN();
    case 1:
        return in.flag() ? std::numeric_limits<double>::infinity()
                         : -std::numeric_limits<double>::infinity();
    case 2:
        return in.value<double>();
    default:
        return static_cast<double>(in.value<std::int16_t>()) / (in.flag() ? 1.0 : 16.0);
    }
}

int extremeCoordinate(FuzzInput& in) {
    const std::int16_t edges[] = {-32768, -1, 0, 1, 32767};
    return in.flag() ? edges[in.byte() % 5] : in.value<std::int16_t>();
}

// An SMC whose replies are the input's bytes; it keeps every fan-speed write it received.
class FuzzedSmcDevice final : public DeviceIo {
public:
    explicit FuzzedSmcDevice(FuzzInput* in) : in(in) {}
    struct Write {
        int fan;
        double rpm;
    };
    std::vector<Write> writes;

    DeviceHandle open(const std::wstring&) override {
        return in->flag() ? 7 : INVALID_DEVICE_HANDLE;
    }
    void close(DeviceHandle) override {}
    bool control(DeviceHandle, std::uint32_t code, const void* input, std::uint32_t inputSize,
                 void* output, std::uint32_t outputSize, std::uint32_t* returned) override {
        const auto* request = static_cast<const std::uint8_t*>(input);
        if (code == IOCTL_SMC_WRITE_KEY && inputSize >= 9 && request[0] == 'F' &&
            request[2] == 'T' && request[3] == 'g' && request[4] == 4) {
            float value;
            std::memcpy(&value, request + 5, 4);
            writes.push_back({request[1] - '0', value});
        }
        if ((in->byte() & 7) == 0)
            return false; // the driver refused; *returned stays as it was
        const std::uint32_t count = outputSize ? in->byte() % (outputSize + 1) : 0;
        const std::vector<std::uint8_t> reply = in->bytes(count);
        if (output && !reply.empty())
            std::memcpy(output, reply.data(), reply.size());
        *returned = count;
        return true;
    }

private:
    FuzzInput* in;
};

// The fans as the program knows them, checked against every speed sent since the last look.
void checkCommands(const std::vector<FanChannel>& fans, std::size_t* seen,
                   const std::vector<std::pair<int, double>>& commands) {
    for (; *seen < commands.size(); ++*seen) {
        const auto [fan, rpm] = commands[*seen];
        FUZZ_CHECK(fan >= 0 && static_cast<std::size_t>(fan) < fans.size());
        const FanChannel& f = fans[static_cast<std::size_t>(fan)];
        FUZZ_CHECK(std::isfinite(rpm));
        // Speeds are whole numbers, so a range with fractional ends may be missed by half.
        FUZZ_CHECK(rpm >= std::fmin(f.minRpm, f.maxRpm) - 0.5);
        FUZZ_CHECK(rpm <= std::fmax(f.minRpm, f.maxRpm) + 0.5);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    FakeRegistry registry;
    RecordingWindowHost host;
    AppState app;
    Settings& settings = app.settings;
    RegulationState& regulation = app.regulation;
    platform = Platform{};
    platform.registry = &registry;
    platform.windowHost = &host;

    const bool smc = in.flag();
    FuzzedSmcDevice device(&in);
    RecordingController* recording = nullptr;
    if (smc) {
        regulation.controller = std::make_unique<AppleSmcController>(&device);
    } else {
        auto controller = std::make_unique<RecordingController>();
        // Ranges as backends report them: finite, the minimum not above the maximum.
        for (int i = 0, n = in.byte() % 4; i < n; ++i) {
            const double lo = in.value<std::uint16_t>() % 9000;
            controller->fanChannels.push_back(
                makeFan(i, lo, lo + in.value<std::uint16_t>() % 9000));
        }
        recording = controller.get();
        regulation.controller = std::move(controller);
    }
    // As the program's start does: the construction ranges stand in for misread ones.
    regulation.safety.defaultFans = regulation.controller->fans();
    regulation.controller->connect(SystemIdentity{});

    std::vector<std::pair<int, double>> commands;
    std::size_t seen = 0;
    auto collect = [&] {
        if (recording)
            for (std::size_t i = commands.size(); i < recording->rpmCalls.size(); ++i)
                commands.emplace_back(recording->rpmCalls[i].fanIndex, recording->rpmCalls[i].rpm);
        else
            for (std::size_t i = commands.size(); i < device.writes.size(); ++i)
                commands.emplace_back(device.writes[i].fan, device.writes[i].rpm);
        checkCommands(regulation.readings.fanList, &seen, commands);
    };
    const Rect client{0, 0, 740, 1080};

    for (int step = 0; step < 64 && !in.empty(); ++step) {
        switch (in.byte() % 8) {
        case 0:
            if (recording) {
                recording->cpu = anyDouble(in);
                recording->gpu = anyDouble(in);
            }
            tickApp(app);
            break;
        case 1:
            applyControlMode(regulation, settings, static_cast<ControlMode>(in.byte() % 7));
            break;
        case 2: {
            CurvePoint& p = settings.curve[in.byte() % 4];
            p.temperature = anyDouble(in);
            p.level = anyDouble(in);
            const Rect chart{extremeCoordinate(in), extremeCoordinate(in), extremeCoordinate(in),
                             extremeCoordinate(in)};
            const Point pixel = curvePointPixel(p, chart);
            FUZZ_CHECK(std::abs(pixel.x) <= CHART_PIXEL_LIMIT &&
                       std::abs(pixel.y) <= CHART_PIXEL_LIMIT);
            break;
        }
        case 3:
            settings.manualRpm[in.byte() % 2] = anyDouble(in);
            settings.curveSource = in.byte() % 3;
            break;
        case 4:
            app.ui.activeTab = in.byte() % 6;
            {
                RecordingCanvas canvas; // calls only: the regions are what the pointer needs
                paintWindow(canvas, client, app.ui,
                            {app.settings, app.regulation, app.identity, app.inventory});
            }
            break;
        case 5:
            onButtonDown(app, extremeCoordinate(in), extremeCoordinate(in));
            break;
        case 6:
            onPointerMove(app, extremeCoordinate(in), extremeCoordinate(in));
            break;
        default:
            if (in.flag())
                onButtonUp(app);
            else
                onCaptureLost(app);
            break;
        }
        collect();
    }

    regulation.controller.reset();
    platform = Platform{};
    return 0;
}
