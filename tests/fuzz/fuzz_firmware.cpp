// The machine's description as the firmware tables and the processor put it into the registry
// and CPUID: any UTF-16 of any length (beyond the buffers too), any value type, any brand
// bytes. Detection and the inventory must finish with texts free of terminators and padding.
#include "fuzz/fuzz_input.h"

#include "fakes/fake_registry.h"
#include "fakes/fake_system_info.h"
#include "hardware/vendor_detection.h"
#include "inventory/inventory.h"
#include "platform/platform.h"

namespace {
const wchar_t* const BIOS_KEY = L"HARDWARE\\DESCRIPTION\\System\\BIOS";
const wchar_t* const NAMES[] = {L"SystemManufacturer", L"SystemProductName",
                                L"BaseBoardManufacturer", L"BaseBoardProduct", L"BIOSVersion"};

void checkText(const std::wstring& text) {
    FUZZ_CHECK(text.find(L'\0') == std::wstring::npos);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    FakeRegistry registry;
    registry.addKey(RegistryRoot::LocalMachine, BIOS_KEY);
    for (const wchar_t* name : NAMES) {
        if (!in.flag())
            continue;
        const std::wstring text = in.utf16(400);
        std::vector<std::uint8_t> bytes;
        for (wchar_t c : text) {
            bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
            bytes.push_back(static_cast<std::uint8_t>((c >> 8) & 0xFF));
        }
        if (in.flag() && !bytes.empty())
            bytes.pop_back(); // an odd number of bytes
        const std::uint32_t type = in.flag() ? REGISTRY_TYPE_SZ : in.byte() % 13;
        registry.setRaw(RegistryRoot::LocalMachine, BIOS_KEY, name, type, bytes);
    }
    FakeSystemInfo systemInfo;
    const std::vector<std::uint8_t> brand = in.bytes(in.byte() % 64);
    systemInfo.brand.assign(brand.begin(), brand.end());
    systemInfo.battery = in.byte();

    platform = Platform{};
    platform.registry = &registry;
    platform.systemInfo = &systemInfo;

    const SystemIdentity id = detectSystemIdentity();
    for (const std::wstring* text : {&id.manufacturer, &id.product, &id.model,
                                     &id.boardManufacturer, &id.boardProduct, &id.biosVersion})
        checkText(*text);
    FUZZ_CHECK(id.isApple == (id.vendor == VendorKind::Apple));

    const std::wstring name = processorNameFromBrand(systemInfo.brand);
    checkText(name);
    for (const InventorySection& section : collectInventory(id, nullptr))
        for (const InventoryRow& row : section.rows) {
            checkText(row.label);
            checkText(row.value);
        }
    FUZZ_CHECK(registry.openKeyCount() == 0);

    platform = Platform{};
    return 0;
}
