#include "inventory/inventory.h"

#include "base/bounded_format.h"
#include "base/rounding.h"
#include "base/utf8_text.h"
#include "hardware/apple_smc_controller.h"
#include "platform/platform.h"
#include "platform/registry.h"
#include "platform/system_info.h"

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
    InventorySection s{L"Geräte-Erkennung & Modell",
                       id.isLaptop ? L"Mobiles Gerät (Notebook / Laptop)"
                                   : L"Desktop-System / Workstation",
                       rgb(100, 210, 255),
                       {}};
    s.rows.push_back({L"Hersteller", id.manufacturer});
    s.rows.push_back({L"Modell / Produkt", id.product});
    if (!id.boardProduct.empty())
        s.rows.push_back({L"Mainboard", id.boardManufacturer + L" " + id.boardProduct});
    if (!id.biosVersion.empty())
        s.rows.push_back({L"BIOS-Version", id.biosVersion});
    s.rows.push_back(
        {L"Treiber-Backend", controller ? controller->backendName() : L"Nicht geladen"});
    if (const std::wstring smc = smcGenerationText(controller); !smc.empty())
        s.rows.push_back({L"SMC-Generation", smc});
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
        L"Prozessor (CPU)", L"Prozessorarchitektur & Cache-Hierarchie", rgb(255, 159, 10), {}};
    const std::string brand = info ? info->processorBrandBytes() : std::string{};
    const std::uint32_t count = info ? info->logicalProcessorCount() : 1u;
    s.rows.push_back({L"Modell", processorNameFromBrand(brand)});
    s.rows.push_back({L"Kerne / Threads",
                      formatted(64, L"%u Logische Prozessorkerne", static_cast<unsigned>(count))});
    s.rows.push_back({L"Taktrate", formatted(64, L"%.2f GHz Taktung", processorMhz() / 1000.0)});
    return s;
}

InventorySection memorySection(const SystemInfo* info) {
    InventorySection s{
        L"Arbeitsspeicher (RAM)", L"Physische Speicher-Auslastung", rgb(48, 209, 88), {}};
    const MemoryStatus m = info ? info->memoryStatus() : MemoryStatus{};
    // A reply whose available part exceeds the total would show negative use.
    const std::uint64_t available =
        m.availableBytes <= m.totalBytes ? m.availableBytes : m.totalBytes;
    const double total = static_cast<double>(m.totalBytes) / GIB;
    const double free = static_cast<double>(available) / GIB;
    s.rows.push_back({L"Gesamtkapazität", formatted(64, L"%.0f GB RAM (%.1f GB nutzbar)",
                                                    roundHalfAway(total), total)});
    s.rows.push_back({L"Auslastung (Live)",
                      formatted(64, L"%.1f GB belegt / %.1f GB frei (%lu %%)", total - free, free,
                                static_cast<unsigned long>(m.loadPercent))});
    return s;
}

InventorySection graphicsSection(const SystemInfo* info) {
    InventorySection s{
        L"Grafikkarte (GPU)", L"Erkannte Grafik-Adapter & Anzeigegeräte", rgb(191, 90, 242), {}};
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
    s.rows.push_back({L"Aktive GPU", adapter});
    s.rows.push_back({L"Aktuelle Auflösung", formatted(64, L"%d × %d Pixel", width, height)});
    return s;
}

InventorySection driveSection(const SystemInfo* info) {
    InventorySection s{
        L"Festspeicher & Partitionen", L"Lokale Laufwerke & Speicherplatz", rgb(10, 132, 255), {}};
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
        std::wstring label = L"Lokales Volume";
        std::wstring fileSystem = L"NTFS";
        std::wstring readLabel, readFileSystem;
        if (info->volumeInformation(letter, &readLabel, &readFileSystem)) {
            label = bounded(64, readLabel);
            fileSystem = bounded(32, readFileSystem);
        }
        const auto wideLetter = static_cast<wint_t>(L'A' + i);
        s.rows.push_back(
            {formatted(64, L"Laufwerk %lc: (%ls)", wideLetter,
                       label.empty() ? L"System" : label.c_str()),
             formatted(128, L"%.1f GB frei von %.1f GB (%ls)",
                       static_cast<double>(space.freeBytes) / GIB,
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
    return {deviceSection(identity, controller), processorSection(info), memorySection(info),
            graphicsSection(info), driveSection(info)};
}
