#include "settings/tray_options.h"

#include <algorithm>
#include <array>

namespace {

// A value the program wrote itself: REG_DWORD of exactly four bytes. Another type or size is
// something else's doing and is not guessed at.
bool readDword(const RegistryKey& key, const wchar_t* name, std::uint32_t* value) {
    std::array<std::uint8_t, 4> bytes{};
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    if (!key.query(name, bytes.data(), 4, &type, &size) || type != REGISTRY_TYPE_DWORD || size != 4)
        return false;
    *value = static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
             (static_cast<std::uint32_t>(bytes[2]) << 16) |
             (static_cast<std::uint32_t>(bytes[3]) << 24);
    return true;
}

} // namespace

void loadTrayOptions(const RegistryKey& key, TrayOptions& options) {
    std::uint32_t v = 0;
    if (readDword(key, L"TrayTemperature", &v))
        options.temperatureInIcon = v != 0;
    if (readDword(key, L"Notifications", &v))
        options.notifications = v != 0;
    if (readDword(key, L"AlarmTemperature", &v) && v >= ALARM_CELSIUS_MIN && v <= ALARM_CELSIUS_MAX)
        options.alarmCelsius = static_cast<std::int32_t>(v);
}

void saveTrayOptions(RegistryKey& key, const TrayOptions& options) {
    key.setDword(L"TrayTemperature", options.temperatureInIcon ? 1 : 0);
    key.setDword(L"Notifications", options.notifications ? 1 : 0);
    key.setDword(L"AlarmTemperature",
                 static_cast<std::uint32_t>(steppedAlarmCelsius(options.alarmCelsius, 0)));
}

std::int32_t steppedAlarmCelsius(std::int32_t celsius, int steps) {
    const std::int64_t next =
        static_cast<std::int64_t>(celsius) + static_cast<std::int64_t>(steps) * ALARM_CELSIUS_STEP;
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(next, ALARM_CELSIUS_MIN, ALARM_CELSIUS_MAX));
}
