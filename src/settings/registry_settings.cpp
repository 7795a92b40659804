#include "settings/registry_settings.h"

#include "platform/platform.h"
#include "platform/registry.h"
#include "settings/automation_values.h"
#include "settings/language_choice.h"
#include "settings/tray_options.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

std::uint32_t readLe32(const std::uint8_t* b) {
    return static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
           (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}

double readLeDouble(const std::uint8_t* b) {
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = (bits << 8) | b[i];
    return std::bit_cast<double>(bits);
}

void writeLeDouble(std::uint8_t* b, double value) {
    std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
    for (int i = 0; i < 8; ++i, bits >>= 8)
        b[i] = static_cast<std::uint8_t>(bits & 0xFFu);
}

// Reads a value of at most four bytes. Its type is not checked; a shorter value leaves the
// missing high bytes zero, a longer one fails.
bool readFourBytes(const RegistryKey& key, const wchar_t* name, std::uint32_t* value) {
    std::array<std::uint8_t, 4> bytes{};
    if (!key.query(name, bytes.data(), 4, nullptr, nullptr))
        return false;
    *value = readLe32(bytes.data());
    return true;
}

bool acceptedManualRpm(std::int32_t rpm) {
    return rpm >= 500 && rpm <= 8000;
}

// Truncation toward zero as stored; a value no int32 can hold saturates instead of being
// undefined, and a NaN is stored as 0.
std::int32_t truncatedRpm(double rpm) {
    if (std::isnan(rpm))
        return 0;
    const double t = std::trunc(rpm);
    if (t <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    if (t >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(t);
}

// The curve editor's limits. Any process of the user can write the stored curve, and it steers
// fans that only an administrator may command: a point is never taken beyond what the user
// could have set by dragging it.
constexpr double CURVE_MIN_TEMPERATURE = 35.0;
constexpr double CURVE_MAX_TEMPERATURE = 95.0;
constexpr double CURVE_MIN_LEVEL = 0.0;
constexpr double CURVE_MAX_LEVEL = 100.0;

// The stored curve replaces the current one only as a whole: exactly 64 bytes and, since the
// points become pixel positions and fan speeds, only finite numbers, each clamped into the
// editor's limits.
void loadCurve(const RegistryKey& key, FanCurve* curve) {
    std::array<std::uint8_t, CURVE_POINTS_BYTES> bytes{};
    std::uint32_t size = 0;
    if (!key.query(L"CurvePoints", bytes.data(), CURVE_POINTS_BYTES, nullptr, &size) ||
        size != CURVE_POINTS_BYTES)
        return;
    FanCurve loaded{};
    for (std::size_t i = 0; i < loaded.size(); ++i) {
        loaded[i].temperature = readLeDouble(bytes.data() + 16 * i);
        loaded[i].level = readLeDouble(bytes.data() + 16 * i + 8);
        if (!std::isfinite(loaded[i].temperature) || !std::isfinite(loaded[i].level))
            return;
        loaded[i].temperature =
            std::clamp(loaded[i].temperature, CURVE_MIN_TEMPERATURE, CURVE_MAX_TEMPERATURE);
        loaded[i].level = std::clamp(loaded[i].level, CURVE_MIN_LEVEL, CURVE_MAX_LEVEL);
    }
    *curve = loaded;
}

} // namespace

bool loadSettings(Settings& settings) {
    RegistryKey key(platform.registry);
    if (!key.open(RegistryRoot::CurrentUser, SETTINGS_KEY_PATH, RegistryAccess::Read))
        return false;

    std::uint32_t v = 0;
    if (readFourBytes(key, L"CurveSource", &v) && v <= 2)
        settings.curveSource = static_cast<std::int32_t>(v);
    if (readFourBytes(key, L"LinkFans", &v))
        settings.linkSliders = v != 0;
    if (readFourBytes(key, L"StartMinimized", &v))
        settings.startMinimized = v != 0;
    if (readFourBytes(key, L"ResetOnExit", &v))
        settings.resetFansOnExit = v != 0;
    const wchar_t* manualNames[2] = {L"ManualRPM0", L"ManualRPM1"};
    for (std::size_t i = 0; i < 2; ++i) {
        if (readFourBytes(key, manualNames[i], &v) &&
            acceptedManualRpm(static_cast<std::int32_t>(v)))
            settings.manualRpm[i] = static_cast<double>(static_cast<std::int32_t>(v));
    }
    loadCurve(key, &settings.curve);
    loadTrayOptions(key, settings.tray);
    loadAutomationValues(key, settings.automation);
    loadLanguageChoice(key, settings.language);
    return true;
}

bool saveSettings(const Settings& settings) {
    RegistryKey key(platform.registry);
    if (!key.create(RegistryRoot::CurrentUser, SETTINGS_KEY_PATH))
        return false;

    const auto mode = static_cast<std::uint32_t>(settings.mode);
    const auto source = static_cast<std::uint32_t>(settings.curveSource);
    const std::uint32_t link = settings.linkSliders ? 1 : 0;
    const std::uint32_t minimized = settings.startMinimized ? 1 : 0;
    const std::uint32_t reset = settings.resetFansOnExit ? 1 : 0;
    const auto manual0 = static_cast<std::uint32_t>(truncatedRpm(settings.manualRpm[0]));
    const auto manual1 = static_cast<std::uint32_t>(truncatedRpm(settings.manualRpm[1]));
    std::array<std::uint8_t, CURVE_POINTS_BYTES> curve{};
    for (std::size_t i = 0; i < settings.curve.size(); ++i) {
        writeLeDouble(curve.data() + 16 * i, settings.curve[i].temperature);
        writeLeDouble(curve.data() + 16 * i + 8, settings.curve[i].level);
    }

    key.setDword(L"ActiveProfile", mode);
    key.setDword(L"CurveSource", source);
    key.setDword(L"LinkFans", link);
    key.setDword(L"StartMinimized", minimized);
    key.setDword(L"ResetOnExit", reset);
    key.setDword(L"ManualRPM0", manual0);
    key.setDword(L"ManualRPM1", manual1);
    key.set(L"CurvePoints", REGISTRY_TYPE_BINARY, curve.data(), CURVE_POINTS_BYTES);
    saveTrayOptions(key, settings.tray);
    saveAutomationValues(key, settings.automation);
    saveLanguageChoice(key, settings.language);
    return key.close();
}
