// Settings loaded from whatever a process of the user left in the settings key: any value
// present or absent, of any type and size. What is loaded must survive a save and a reload
// unchanged, and the curve must stay usable.
#include "fuzz/fuzz_input.h"

#include "fakes/fake_registry.h"
#include "platform/platform.h"
#include "settings/registry_settings.h"

#include <array>
#include <cmath>

namespace {
const wchar_t* const NAMES[] = {L"ActiveProfile",  L"CurveSource", L"LinkFans",
                                L"StartMinimized", L"ResetOnExit", L"ManualRPM0",
                                L"ManualRPM1",     L"CurvePoints", L"Unrelated"};
const wchar_t* const KEY = L"Software\\Ventrasol";

struct Persisted {
    FanCurve curve;
    std::int32_t curveSource;
    bool link, minimized, reset;
    std::array<double, 2> manual;
};

Persisted persisted(const Settings& settings) {
    return {settings.curve,          settings.curveSource,     settings.linkSliders,
            settings.startMinimized, settings.resetFansOnExit, settings.manualRpm};
}

// Bit for bit: a curve value that changed its sign of zero or its NaN payload changed too.
bool same(const Persisted& a, const Persisted& b) {
    return std::memcmp(a.curve.data(), b.curve.data(), sizeof a.curve) == 0 &&
           a.curveSource == b.curveSource && a.link == b.link && a.minimized == b.minimized &&
           a.reset == b.reset && a.manual == b.manual;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    FakeRegistry registry;
    registry.addKey(RegistryRoot::CurrentUser, KEY);
    while (!in.empty()) {
        const wchar_t* name = NAMES[in.byte() % (sizeof NAMES / sizeof NAMES[0])];
        const std::uint32_t type = in.byte() % 13;
        const std::vector<std::uint8_t> bytes = in.bytes(in.byte() % 80);
        registry.setRaw(RegistryRoot::CurrentUser, KEY, name, type, bytes);
    }
    platform = Platform{};
    platform.registry = &registry;
    Settings settings;

    loadSettings(settings);
    for (const CurvePoint& p : settings.curve)
        FUZZ_CHECK(std::isfinite(p.temperature) && std::isfinite(p.level));
    for (double rpm : settings.manualRpm)
        FUZZ_CHECK(std::isfinite(rpm));
    FUZZ_CHECK(settings.curveSource >= 0 && settings.curveSource <= 2);
    const Persisted loaded = persisted(settings);
    saveSettings(settings);
    settings = Settings{};
    loadSettings(settings);
    FUZZ_CHECK(same(loaded, persisted(settings)));
    FUZZ_CHECK(registry.openKeyCount() == 0);

    platform = Platform{};
    return 0;
}
