#include "hardware/vendor_detection.h"

#include "base/utf16.h"
#include "platform/platform.h"
#include "platform/registry.h"
#include "platform/system_info.h"

#include <cwctype>

namespace {

constexpr std::uint32_t VALUE_BUFFER_BYTES = 512; // 256 UTF-16 units with the terminator

bool isTrimmed(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

// A value of any type, taken up to its terminator; false when missing or larger than the
// buffer. A value that fills the buffer without a terminator ends at the buffer's end.
bool readText(const RegistryKey& key, const wchar_t* name, std::wstring* text) {
    std::uint8_t buffer[VALUE_BUFFER_BYTES] = {};
    std::uint32_t size = 0;
    if (!key.query(name, buffer, VALUE_BUFFER_BYTES, nullptr, &size))
        return false;
    if (size > VALUE_BUFFER_BYTES)
        return false;
    *text = trimWhitespace(textFromUtf16le(buffer, size));
    return true;
}

std::wstring lowered(const std::wstring& text) {
    std::wstring out = text;
    for (wchar_t& c : out)
        c = static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c)));
    return out;
}

bool has(const std::wstring& text, const wchar_t* word) {
    return text.find(word) != std::wstring::npos;
}

} // namespace

std::wstring trimWhitespace(const std::wstring& text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && isTrimmed(text[begin]))
        ++begin;
    while (end > begin && isTrimmed(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

SystemIdentity detectSystemIdentity() {
    SystemIdentity id;

    RegistryKey key(platform.registry);
    if (key.open(RegistryRoot::LocalMachine, L"HARDWARE\\DESCRIPTION\\System\\BIOS",
                 RegistryAccess::Read)) {
        readText(key, L"SystemManufacturer", &id.manufacturer);
        if (readText(key, L"SystemProductName", &id.product))
            id.model = id.product;
        readText(key, L"BaseBoardManufacturer", &id.boardManufacturer);
        readText(key, L"BaseBoardProduct", &id.boardProduct);
        readText(key, L"BIOSVersion", &id.biosVersion);
        key.close();
    }

    if (platform.systemInfo) {
        const std::uint8_t flag = platform.systemInfo->batteryFlag();
        if (flag != BATTERY_FLAG_NO_BATTERY && flag != BATTERY_FLAG_UNKNOWN)
            id.isLaptop = true;
    }

    const std::wstring m = lowered(id.manufacturer);
    const std::wstring b = lowered(id.boardManufacturer);
    const std::wstring p = lowered(id.model);
    if (has(m, L"apple") || has(p, L"macbook")) {
        id.vendor = VendorKind::Apple;
        id.isApple = true;
        id.isLaptop = has(p, L"macbook");
    } else if (has(m, L"asus") || has(b, L"asus")) {
        id.vendor = VendorKind::Asus;
    } else if (has(m, L"lenovo") || has(b, L"lenovo")) {
        id.vendor = VendorKind::Lenovo;
    } else if (has(m, L"dell") || has(m, L"alienware")) {
        id.vendor = VendorKind::Dell;
    } else if (has(m, L"hp") || has(m, L"hewlett")) {
        id.vendor = VendorKind::Hp;
    } else if (has(m, L"acer")) {
        id.vendor = VendorKind::Acer;
    } else if (has(m, L"micro-star") || has(m, L"msi") || has(b, L"msi")) {
        id.vendor = VendorKind::Msi;
    } else if (has(m, L"gigabyte") || has(b, L"gigabyte")) {
        id.vendor = VendorKind::Gigabyte;
    }
    return id;
}
