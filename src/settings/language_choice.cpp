#include "settings/language_choice.h"

#include "base/utf16.h"

#include <cwctype>
#include <string>
#include <vector>

namespace {

constexpr wchar_t VALUE_NAME[] = L"Language";
// "de" with its terminator fits many times; a longer value is nothing the program wrote.
constexpr std::uint32_t VALUE_BYTES = 16;
constexpr std::uint16_t PRIMARY_GERMAN = 0x07;

// The stored choice: German or English for the program's own texts, Automatic for anything else.
LanguageChoice storedChoice(const RegistryKey& key) {
    std::uint8_t bytes[VALUE_BYTES] = {};
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    if (!key.query(VALUE_NAME, bytes, VALUE_BYTES, &type, &size) || type != REGISTRY_TYPE_SZ ||
        size > VALUE_BYTES)
        return LanguageChoice::Automatic;
    std::wstring value = textFromUtf16le(bytes, size);
    for (wchar_t& c : value)
        c = static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c)));
    if (value == L"de")
        return LanguageChoice::German;
    if (value == L"en")
        return LanguageChoice::English;
    return LanguageChoice::Automatic;
}

} // namespace

void loadLanguageChoice(const RegistryKey& key, LanguageChoice& choice) {
    choice = storedChoice(key);
}

void saveLanguageChoice(RegistryKey& key, LanguageChoice choice) {
    if (choice == LanguageChoice::Automatic) {
        key.remove(VALUE_NAME); // fails harmlessly where there is none
        return;
    }
    const std::vector<std::uint8_t> bytes =
        utf16leBytes(choice == LanguageChoice::German ? L"de" : L"en");
    key.set(VALUE_NAME, REGISTRY_TYPE_SZ, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

Language languageFor(LanguageChoice choice, std::uint16_t windowsLanguage) {
    switch (choice) {
    case LanguageChoice::German:
        return Language::German;
    case LanguageChoice::English:
        return Language::English;
    case LanguageChoice::Automatic:
    default:
        return (windowsLanguage & 0x3FFu) == PRIMARY_GERMAN ? Language::German : Language::English;
    }
}

LanguageChoice nextLanguageChoice(LanguageChoice choice) {
    switch (choice) {
    case LanguageChoice::Automatic:
        return LanguageChoice::German;
    case LanguageChoice::German:
        return LanguageChoice::English;
    case LanguageChoice::English:
    default:
        return LanguageChoice::Automatic;
    }
}
