#include "base/utf8_text.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_system_info.h"
#include "fakes/platform_fixture.h"
#include "fakes/recording_controller.h"
#include "inventory/inventory.h"

namespace {

constexpr std::uint64_t GIB = 1ull << 30;

class InventoryTest : public PlatformTest {
protected:
    FakeSystemInfo info;
    FakeRegistry registry;
    SystemIdentity identity;
    std::unique_ptr<IHardwareController> controller;
    std::vector<InventorySection> inventory;

    void SetUp() override {
        platform.systemInfo = &info;
        platform.registry = &registry;
    }
    void collect() { inventory = collectInventory(identity, controller.get()); }
    const InventorySection& section(std::size_t i) const { return inventory.at(i); }
    std::wstring value(std::size_t i, const std::wstring& label) const {
        for (const auto& row : section(i).rows)
            if (row.label == label)
                return row.value;
        return L"<missing>";
    }
    std::vector<std::wstring> labels(std::size_t i) const {
        std::vector<std::wstring> out;
        for (const auto& row : section(i).rows)
            out.push_back(row.label);
        return out;
    }
};

} // namespace

TEST_F(InventoryTest, FiveSectionsWithTitlesSubtitlesAndColours) {
    collect();
    ASSERT_EQ(inventory.size(), 5u);
    const struct {
        const wchar_t* title;
        const wchar_t* subtitle;
        Color color;
    } expected[] = {
        {L"Geräte-Erkennung & Modell", L"Desktop-System / Workstation", 0xFFD264},
        {L"Prozessor (CPU)", L"Prozessorarchitektur & Cache-Hierarchie", 0x0A9FFF},
        {L"Arbeitsspeicher (RAM)", L"Physische Speicher-Auslastung", 0x58D130},
        {L"Grafikkarte (GPU)", L"Erkannte Grafik-Adapter & Anzeigegeräte", 0xF25ABF},
        {L"Festspeicher & Partitionen", L"Lokale Laufwerke & Speicherplatz", 0xFF840A},
    };
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(section(i).title, expected[i].title) << i;
        EXPECT_EQ(section(i).subtitle, expected[i].subtitle) << i;
        EXPECT_EQ(section(i).accentColor, expected[i].color) << i;
    }

    // A second collection replaces the first instead of appending to it.
    identity.isLaptop = true;
    collect();
    ASSERT_EQ(inventory.size(), 5u);
    EXPECT_EQ(section(0).subtitle, L"Mobiles Gerät (Notebook / Laptop)");
}

TEST_F(InventoryTest, DeviceRowsFollowTheIdentityAndTheBackend) {
    collect();
    EXPECT_EQ(labels(0),
              (std::vector<std::wstring>{L"Hersteller", L"Modell / Produkt", L"Treiber-Backend"}));
    EXPECT_EQ(value(0, L"Hersteller"), L"Generic PC");
    EXPECT_EQ(value(0, L"Modell / Produkt"), L"Standard System");
    EXPECT_EQ(value(0, L"Treiber-Backend"), L"Nicht geladen");

    identity.manufacturer = L"Apple Inc.";
    identity.product = L"MacBookPro15,1";
    identity.boardProduct = L"Mac-937A206F2EE63C01";
    identity.biosVersion = L"220.0.0.0.0";
    controller = std::make_unique<RecordingController>();
    collect();
    EXPECT_EQ(labels(0),
              (std::vector<std::wstring>{L"Hersteller", L"Modell / Produkt", L"Mainboard",
                                         L"BIOS-Version", L"Treiber-Backend"}));
    // No board maker: the value still starts with the separating space.
    EXPECT_EQ(value(0, L"Mainboard"), L" Mac-937A206F2EE63C01");
    EXPECT_EQ(value(0, L"BIOS-Version"), L"220.0.0.0.0");
    EXPECT_EQ(value(0, L"Treiber-Backend"), controller->backendName());

    identity.boardManufacturer = L"Apple Inc.";
    collect();
    EXPECT_EQ(value(0, L"Mainboard"), L"Apple Inc. Mac-937A206F2EE63C01");
}

TEST_F(InventoryTest, ProcessorNameFromTheBrandBytes) {
    EXPECT_EQ(processorNameFromBrand(FakeSystemInfo::padBrand("       Intel(R) Core(TM) i7  ")),
              L"Intel(R) Core(TM) i7  ");
    EXPECT_EQ(processorNameFromBrand(""), L"Standard x64 Processor");
    EXPECT_EQ(processorNameFromBrand(std::string(48, '\0')), L"Standard x64 Processor");
    EXPECT_EQ(processorNameFromBrand(FakeSystemInfo::padBrand("      ")),
              L"Standard x64 Processor");
    // 48 bytes without a terminator end at the 48th byte, never beyond.
    EXPECT_EQ(processorNameFromBrand(std::string(60, 'X')), std::wstring(48, L'X'));
    // UTF-8 and bytes that are not UTF-8 both give well-formed text.
    EXPECT_EQ(processorNameFromBrand(FakeSystemInfo::padBrand("CPU \xC2\xAE")), L"CPU \u00AE");
    EXPECT_EQ(processorNameFromBrand(FakeSystemInfo::padBrand("A\xFF"
                                                              "B")),
              L"A\uFFFDB");

    info.brand = FakeSystemInfo::padBrand("  Fake CPU");
    info.processors = 12;
    collect();
    EXPECT_EQ(labels(1), (std::vector<std::wstring>{L"Modell", L"Kerne / Threads", L"Taktrate"}));
    EXPECT_EQ(value(1, L"Modell"), L"Fake CPU");
    EXPECT_EQ(value(1, L"Kerne / Threads"), L"12 Logische Prozessorkerne");
}

TEST_F(InventoryTest, Utf8DecodingReplacesEveryMalformedSequence) {
    EXPECT_EQ(wideFromUtf8("plain"), L"plain");
    EXPECT_EQ(wideFromUtf8("\xE2\x80\x94"), L"\u2014");
    EXPECT_EQ(wideFromUtf8("\xF0\x9F\x98\x80"), L"\U0001F600");
    EXPECT_EQ(wideFromUtf8("\xC0\xAF"), L"\uFFFD");     // overlong
    EXPECT_EQ(wideFromUtf8("\xED\xA0\x80"), L"\uFFFD"); // a surrogate
    EXPECT_EQ(wideFromUtf8("\xE2\x80"), L"\uFFFD");     // cut at the end
    EXPECT_EQ(wideFromUtf8("\xE2"
                           "A"),
              L"\uFFFDA");                                  // cut before a new character
    EXPECT_EQ(wideFromUtf8("\x80\x80"), L"\uFFFD\uFFFD");   // stray continuation bytes
    EXPECT_EQ(wideFromUtf8("\xF4\x90\x80\x80"), L"\uFFFD"); // beyond U+10FFFF
}

TEST_F(InventoryTest, MemoryFiguresInGigabytes) {
    // 15.9 GiB in all, 6.0 GiB available.
    info.memory = {static_cast<std::uint64_t>(15.9 * GIB), 6 * GIB, 62};
    collect();
    EXPECT_EQ(value(2, L"Gesamtkapazität"), L"16 GB RAM (15.9 GB nutzbar)");
    EXPECT_EQ(value(2, L"Auslastung (Live)"), L"9.9 GB belegt / 6.0 GB frei (62 %)");

    // Rounding of the whole figure is half away from zero.
    info.memory = {static_cast<std::uint64_t>(7.5 * GIB), 0, 100};
    collect();
    EXPECT_EQ(value(2, L"Gesamtkapazität"), L"8 GB RAM (7.5 GB nutzbar)");

    // A status that could not be read, or more available than installed, never shows
    // negative use.
    info.memory = {4 * GIB, 9 * GIB, 10};
    collect();
    EXPECT_EQ(value(2, L"Auslastung (Live)"), L"0.0 GB belegt / 4.0 GB frei (10 %)");
    info.memory = {};
    collect();
    EXPECT_EQ(value(2, L"Gesamtkapazität"), L"0 GB RAM (0.0 GB nutzbar)");
}

TEST_F(InventoryTest, GraphicsTakesTheFirstNamedAdapter) {
    info.displays = {L"", L"Wine Adapter", L"Second"};
    info.width = 2560;
    info.height = 1440;
    collect();
    EXPECT_EQ(value(3, L"Aktive GPU"), L"Wine Adapter");
    EXPECT_EQ(value(3, L"Aktuelle Auflösung"), L"2560 × 1440 Pixel");

    info.displays = {L"", L""};
    collect();
    EXPECT_EQ(value(3, L"Aktive GPU"), L"Standard VGA Graphics Adapter");
    info.displays.clear();
    collect();
    EXPECT_EQ(value(3, L"Aktive GPU"), L"Standard VGA Graphics Adapter");
}

TEST_F(InventoryTest, OnlyReadableFixedDrivesInLetterOrder) {
    using Drive = FakeSystemInfo::Drive;
    Drive system;
    system.label = L"";
    system.space = {512 * GIB, GIB + GIB / 2};
    Drive data;
    data.label = L"Daten";
    data.fileSystem = L"exFAT";
    data.space = {1000 * GIB, 250 * GIB};
    Drive unreadableVolume;
    unreadableVolume.volumeReadable = false;
    unreadableVolume.space = {10 * GIB, 5 * GIB};
    Drive noSpace;
    noSpace.spaceReadable = false;
    Drive optical;
    optical.kind = DriveKind::CdRom;
    Drive removable;
    removable.kind = DriveKind::Removable;
    Drive network;
    network.kind = DriveKind::Remote;
    info.drives = {{'Z', unreadableVolume}, {'D', data},    {'C', system}, {'E', optical},
                   {'F', removable},        {'G', network}, {'H', noSpace}};
    collect();
    EXPECT_EQ(labels(4), (std::vector<std::wstring>{L"Laufwerk C: (System)", L"Laufwerk D: (Daten)",
                                                    L"Laufwerk Z: (Lokales Volume)"}));
    EXPECT_EQ(value(4, L"Laufwerk C: (System)"), L"1.5 GB frei von 512.0 GB (NTFS)");
    EXPECT_EQ(value(4, L"Laufwerk D: (Daten)"), L"250.0 GB frei von 1000.0 GB (exFAT)");
    EXPECT_EQ(value(4, L"Laufwerk Z: (Lokales Volume)"), L"5.0 GB frei von 10.0 GB (NTFS)");

    // An overlong label is cut to the label's fixed buffer.
    data.label = std::wstring(100, L'x');
    info.drives = {{'D', data}};
    collect();
    ASSERT_EQ(section(4).rows.size(), 1u);
    EXPECT_EQ(section(4).rows[0].label.size(), 63u);

    info.drives.clear();
    collect();
    EXPECT_TRUE(section(4).rows.empty());
}

TEST_F(InventoryTest, WithoutAnySystemInformationEveryFallbackShows) {
    platform.systemInfo = nullptr;
    collect();
    ASSERT_EQ(inventory.size(), 5u);
    EXPECT_EQ(value(1, L"Modell"), L"Standard x64 Processor");
    EXPECT_EQ(value(1, L"Taktrate"), L"2.40 GHz Taktung");
    EXPECT_EQ(value(3, L"Aktive GPU"), L"Standard VGA Graphics Adapter");
    EXPECT_TRUE(section(4).rows.empty());
}

TEST_F(InventoryTest, ClockFromTheProcessorDescription) {
    const std::wstring key = L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";
    auto clock = [&] {
        collect();
        return value(1, L"Taktrate");
    };
    EXPECT_EQ(clock(), L"2.40 GHz Taktung") << "no key";
    registry.addKey(RegistryRoot::LocalMachine, key);
    EXPECT_EQ(clock(), L"2.40 GHz Taktung") << "no value";
    registry.setDword(RegistryRoot::LocalMachine, key, L"~MHz", 2100);
    EXPECT_EQ(clock(), L"2.10 GHz Taktung");
    registry.setDword(RegistryRoot::LocalMachine, key, L"~MHz", 3696);
    EXPECT_EQ(clock(), L"3.70 GHz Taktung");
    EXPECT_EQ(registry.openKeyCount(), 0);

    // Values that are not a plain four-byte number keep the fallback.
    registry.setDword(RegistryRoot::LocalMachine, key, L"~MHz", 0);
    EXPECT_EQ(clock(), L"2.40 GHz Taktung") << "zero";
    registry.setString(RegistryRoot::LocalMachine, key, L"~MHz", L"3");
    EXPECT_EQ(clock(), L"2.40 GHz Taktung") << "a four-byte string";
    registry.setRaw(RegistryRoot::LocalMachine, key, L"~MHz", REGISTRY_TYPE_QWORD,
                    {0x34, 0x08, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(clock(), L"2.40 GHz Taktung") << "eight bytes";
    registry.setRaw(RegistryRoot::LocalMachine, key, L"~MHz", REGISTRY_TYPE_DWORD, {0x34, 0x08});
    EXPECT_EQ(clock(), L"2.40 GHz Taktung") << "two bytes";
    EXPECT_EQ(registry.openKeyCount(), 0);
}
