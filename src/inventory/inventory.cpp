#include "inventory/inventory.h"

#include "base/bounded_format.h"
#include "base/rounding.h"
#include "base/texts.h"
#include "base/utf8_text.h"
#include "hardware/apple_smc_controller.h"
#include "hardware/universal_pc_controller.h"
#include "platform/platform.h"
#include "platform/registry.h"
#include "platform/system_info.h"

#include <algorithm>
#include <cwchar>

namespace {

constexpr double GIB = 1073741824.0;
constexpr std::uint32_t DEFAULT_MHZ = 2400;

std::wstring formatted(std::size_t capacity, const wchar_t* format, auto... args) {
    std::wstring buffer(capacity, L'\0');
    const std::size_t n = formatBounded(buffer.data(), capacity, format, args...);
    buffer.resize(n);
    return buffer;
}

std::wstring bounded(std::size_t capacity, const std::wstring& text) {
    std::wstring buffer(capacity, L'\0');
    buffer.resize(copyBounded(buffer.data(), capacity, text.c_str()));
    return buffer;
}

InventorySection deviceSection(const SystemIdentity& id, const IHardwareController* controller) {
    InventorySection s{text(TextId::InvDeviceTitle),
                       id.isLaptop ? text(TextId::InvLaptop) : text(TextId::InvDesktop),
                       rgb(100, 210, 255),
                       {}};
    s.rows.push_back({text(TextId::InvManufacturer), id.manufacturer});
    s.rows.push_back({text(TextId::InvProduct), id.product});
    if (!id.boardProduct.empty())
        s.rows.push_back({text(TextId::InvBoard), id.boardManufacturer + L" " + id.boardProduct});
    if (!id.biosVersion.empty())
        s.rows.push_back({text(TextId::InvBios), id.biosVersion});
    s.rows.push_back({text(TextId::InvBackend),
                      controller ? controller->backendName() : text(TextId::InvNotLoaded)});
    if (const std::wstring smc = smcGenerationText(controller); !smc.empty())
        s.rows.push_back({text(TextId::InvSmc), smc});
    return s;
}

// The nominal clock the firmware reported to Windows; 2400 MHz when it cannot be read. Only a
// four-byte DWORD counts: a value of another type would be read as an arbitrary number.
std::uint32_t processorMhz() {
    RegistryKey key(platform.registry);
    if (!key.open(RegistryRoot::LocalMachine, L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0",
                  RegistryAccess::Read))
        return DEFAULT_MHZ;
    unsigned char bytes[4] = {};
    std::uint32_t type = 0, size = 0;
    if (!key.query(L"~MHz", bytes, sizeof bytes, &type, &size) || type != REGISTRY_TYPE_DWORD ||
        size != 4)
        return DEFAULT_MHZ;
    const std::uint32_t mhz = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) |
                              (static_cast<std::uint32_t>(bytes[3]) << 24);
    return mhz != 0 ? mhz : DEFAULT_MHZ;
}

InventorySection processorSection(const SystemInfo* info) {
    InventorySection s{
        text(TextId::InvCpuTitle), text(TextId::InvCpuSubtitle), rgb(255, 159, 10), {}};
    const std::string brand = info ? info->processorBrandBytes() : std::string{};
    const std::uint32_t count = info ? info->logicalProcessorCount() : 1u;
    s.rows.push_back({text(TextId::InvModel), processorNameFromBrand(brand)});
    s.rows.push_back({text(TextId::InvCores),
                      formatted(64, text(TextId::InvCoresValue), static_cast<unsigned>(count))});
    s.rows.push_back({text(TextId::InvClock),
                      formatted(64, text(TextId::InvClockValue), processorMhz() / 1000.0)});
    return s;
}

InventorySection memorySection(const SystemInfo* info) {
    InventorySection s{
        text(TextId::InvRamTitle), text(TextId::InvRamSubtitle), rgb(48, 209, 88), {}};
    const MemoryStatus m = info ? info->memoryStatus() : MemoryStatus{};
    // A reply whose available part exceeds the total would show negative use.
    const std::uint64_t available =
        m.availableBytes <= m.totalBytes ? m.availableBytes : m.totalBytes;
    const double total = static_cast<double>(m.totalBytes) / GIB;
    const double free = static_cast<double>(available) / GIB;
    s.rows.push_back({text(TextId::InvCapacity),
                      formatted(64, text(TextId::InvCapacityValue), roundHalfAway(total), total)});
    s.rows.push_back(
        {text(TextId::InvUsage), formatted(64, text(TextId::InvUsageValue), total - free, free,
                                           static_cast<unsigned long>(m.loadPercent))});
    return s;
}

constexpr TextId GRAPHICS_TITLE = TextId::InvGpuTitle;
constexpr wchar_t AMD_ADAPTER_LABEL[] = L"AMD GPU (ADL)";

InventorySection graphicsSection(const SystemInfo* info) {
    InventorySection s{text(GRAPHICS_TITLE), text(TextId::InvGpuSubtitle), rgb(191, 90, 242), {}};
    std::wstring adapter = L"Standard VGA Graphics Adapter";
    if (info) {
        for (const std::wstring& name : info->displayDeviceStrings()) {
            if (!name.empty()) {
                adapter = bounded(128, name);
                break;
            }
        }
    }
    const int width = info ? info->screenWidth() : 0;
    const int height = info ? info->screenHeight() : 0;
    s.rows.push_back({text(TextId::InvActiveGpu), adapter});
    s.rows.push_back({text(TextId::InvResolution),
                      formatted(64, text(TextId::InvResolutionValue), width, height)});
    return s;
}

InventorySection driveSection(const SystemInfo* info) {
    InventorySection s{
        text(TextId::InvDrivesTitle), text(TextId::InvDrivesSubtitle), rgb(10, 132, 255), {}};
    if (!info)
        return s;
    const std::uint32_t mask = info->logicalDriveMask();
    for (int i = 0; i < 26; ++i) {
        if (!(mask & (1u << i)))
            continue;
        const char letter = static_cast<char>('A' + i);
        DiskSpace space;
        if (info->driveKind(letter) != DriveKind::Fixed || !info->diskSpace(letter, &space))
            continue;
        std::wstring label = text(TextId::InvVolume);
        std::wstring fileSystem = L"NTFS";
        std::wstring readLabel, readFileSystem;
        if (info->volumeInformation(letter, &readLabel, &readFileSystem)) {
            label = bounded(64, readLabel);
            fileSystem = bounded(32, readFileSystem);
        }
        const auto wideLetter = static_cast<wint_t>(L'A' + i);
        s.rows.push_back(
            {formatted(64, text(TextId::InvDrive), wideLetter,
                       label.empty() ? L"System" : label.c_str()),
             formatted(128, text(TextId::InvDriveValue), static_cast<double>(space.freeBytes) / GIB,
                       static_cast<double>(space.totalBytes) / GIB, fileSystem.c_str())});
    }
    return s;
}

} // namespace

std::wstring processorNameFromBrand(const std::string& brandBytes) {
    const std::wstring fallback = L"Standard x64 Processor";
    // The processor writes at most 48 bytes and need not terminate them.
    const std::string raw = brandBytes.substr(0, 48);
    if (raw.empty() || raw[0] == '\0')
        return fallback;
    std::size_t start = raw.find_first_not_of(' ');
    if (start == std::string::npos)
        return fallback;
    std::size_t end = raw.find('\0', start);
    if (end == std::string::npos)
        end = raw.size();
    // A brand of spaces only would leave the row blank; the fallback says more.
    if (end == start)
        return fallback;
    return bounded(128, wideFromUtf8(std::string_view(raw).substr(start, end - start)));
}

std::vector<InventorySection> collectInventory(const SystemIdentity& identity,
                                               const IHardwareController* controller) {
    const SystemInfo* info = platform.systemInfo;
    std::vector<InventorySection> inventory = {deviceSection(identity, controller),
                                               processorSection(info), memorySection(info),
                                               graphicsSection(info), driveSection(info)};
    noteAmdAdapter(inventory, controller);
    return inventory;
}

bool noteAmdAdapter(std::vector<InventorySection>& inventory,
                    const IHardwareController* controller) {
    const std::wstring name = amdAdapterText(controller);
    if (name.empty())
        return false;
    const auto graphics =
        std::find_if(inventory.begin(), inventory.end(),
                     [](const InventorySection& s) { return s.title == text(GRAPHICS_TITLE); });
    if (graphics == inventory.end())
        return false;
    std::vector<InventoryRow>& rows = graphics->rows;
    const auto row = std::find_if(rows.begin(), rows.end(), [](const InventoryRow& r) {
        return r.label == AMD_ADAPTER_LABEL;
    });
    const std::wstring value = bounded(128, name);
    if (row != rows.end()) {
        if (row->value == value)
            return false;
        row->value = value;
    } else {
        // Right after the active adapter: the card the readings come from.
        rows.insert(rows.begin() + std::min<std::size_t>(1, rows.size()),
                    {AMD_ADAPTER_LABEL, value});
    }
    return true;
}
