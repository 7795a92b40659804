#include "settings/automation_values.h"

#include <array>
#include <cstdint>

namespace {

bool readDword(const RegistryKey& key, const wchar_t* name, std::uint32_t* value) {
    std::array<std::uint8_t, 4> bytes{};
    if (!key.query(name, bytes.data(), 4, nullptr, nullptr))
        return false;
    *value = static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
             (static_cast<std::uint32_t>(bytes[2]) << 16) |
             (static_cast<std::uint32_t>(bytes[3]) << 24);
    return true;
}

void loadMode(const RegistryKey& key, const wchar_t* name, ControlMode* mode) {
    std::uint32_t v = 0;
    if (readDword(key, name, &v) && v <= static_cast<std::uint32_t>(ControlMode::Manual))
        *mode = static_cast<ControlMode>(v);
}

} // namespace

void loadAutomationValues(const RegistryKey& key, AutomationSettings& automation) {
    std::uint32_t v = 0;
    if (readDword(key, L"PowerSourceSwitch", &v))
        automation.followPowerSource = v != 0;
    loadMode(key, L"BatteryProfile", &automation.batteryMode);
    loadMode(key, L"MainsProfile", &automation.mainsMode);
    if (readDword(key, L"CsvLog", &v))
        automation.csvLog = v != 0;
}

void saveAutomationValues(RegistryKey& key, const AutomationSettings& automation) {
    key.setDword(L"PowerSourceSwitch", automation.followPowerSource ? 1 : 0);
    key.setDword(L"BatteryProfile", static_cast<std::uint32_t>(automation.batteryMode));
    key.setDword(L"MainsProfile", static_cast<std::uint32_t>(automation.mainsMode));
    key.setDword(L"CsvLog", automation.csvLog ? 1 : 0);
}
