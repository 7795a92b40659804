#include "app/taskbar_theme.h"

#include "platform/platform.h"
#include "platform/registry.h"

#include <array>
#include <cstdint>

bool taskbarUsesLightTheme() {
    RegistryKey key(platform.registry);
    if (!key.open(RegistryRoot::CurrentUser,
                  L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize",
                  RegistryAccess::Read))
        return false;
    std::array<std::uint8_t, 4> bytes{};
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    if (!key.query(L"SystemUsesLightTheme", bytes.data(), 4, &type, &size) ||
        type != REGISTRY_TYPE_DWORD || size != 4)
        return false;
    return (bytes[0] | bytes[1] | bytes[2] | bytes[3]) != 0;
}
