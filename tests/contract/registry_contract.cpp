#include "contract/registry_contract.h"

#include "base/utf16.h"

#include <array>
#include <cstdint>
#include <vector>

namespace {

std::vector<std::uint8_t> read(Registry& reg, RegistryHandle key, const std::wstring& name,
                               std::uint32_t capacity, std::uint32_t* type, bool* ok) {
    std::vector<std::uint8_t> buffer(capacity + 1, 0xCD);
    std::uint32_t size = 0;
    *ok = reg.queryValue(key, name, buffer.data(), capacity, type, &size);
    buffer.resize(*ok ? size : 0);
    return buffer;
}

} // namespace

TEST_P(RegistryContract, MissingKeysFailToOpenInBothHives) {
    for (RegistryRoot root : {RegistryRoot::CurrentUser, RegistryRoot::LocalMachine}) {
        for (RegistryAccess access : {RegistryAccess::Read, RegistryAccess::Write}) {
            RegistryHandle key = 0x55;
            EXPECT_FALSE(registry->openKey(root, scratch(L"Missing\\Deeper"), access, &key));
            EXPECT_EQ(key, 0u);
        }
    }
}

TEST_P(RegistryContract, CreateMakesTheParentsAndAgainOpensTheSameKey) {
    RegistryHandle key = 0;
    ASSERT_TRUE(registry->createKey(RegistryRoot::CurrentUser, scratch(L"A\\B\\C"), &key));
    ASSERT_NE(key, 0u);
    const std::uint32_t seven = 7;
    EXPECT_TRUE(registry->setValue(key, L"Seven", REGISTRY_TYPE_DWORD, &seven, 4));
    EXPECT_TRUE(registry->closeKey(key));

    RegistryHandle parent = 0;
    ASSERT_TRUE(registry->openKey(RegistryRoot::CurrentUser, scratch(L"A\\B"), RegistryAccess::Read,
                                  &parent));
    EXPECT_TRUE(registry->closeKey(parent));

    // Creating an existing key opens it with its values intact.
    ASSERT_TRUE(registry->createKey(RegistryRoot::CurrentUser, scratch(L"A\\B\\C"), &key));
    EXPECT_TRUE(registry->closeKey(key));
    ASSERT_TRUE(registry->openKey(RegistryRoot::CurrentUser, scratch(L"A\\B\\C"),
                                  RegistryAccess::Read, &key));
    std::uint32_t type = 0;
    bool ok = false;
    const auto data = read(*registry, key, L"Seven", 4, &type, &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(type, REGISTRY_TYPE_DWORD);
    EXPECT_EQ(data, (std::vector<std::uint8_t>{7, 0, 0, 0}));
    EXPECT_TRUE(registry->closeKey(key));
}

TEST_P(RegistryContract, DwordBinaryStringAndOtherTypesRoundTripByteForByte) {
    struct Case {
        std::wstring name;
        std::uint32_t type;
        std::vector<std::uint8_t> data;
    };
    std::vector<std::uint8_t> binary(64);
    for (std::size_t i = 0; i < binary.size(); ++i)
        binary[i] = static_cast<std::uint8_t>(i * 37 + (i % 3 == 0 ? 0 : 0x80));
    binary[5] = 0; // embedded zeros are data, not terminators
    const std::vector<Case> cases = {
        {L"Dword", REGISTRY_TYPE_DWORD, {0x78, 0x56, 0x34, 0x12}},
        {L"DwordMax", REGISTRY_TYPE_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}},
        {L"Binary64", REGISTRY_TYPE_BINARY, binary},
        {L"BinaryEmpty", REGISTRY_TYPE_BINARY, {}},
        {L"Text", REGISTRY_TYPE_SZ,
         utf16leBytes(L"\"C:\\Pfad mit Leerzeichen\\x.exe\" --minimized")},
        {L"Umlaute", REGISTRY_TYPE_SZ, utf16leBytes(L"Lüfter — 45 °C · ×")},
        {L"Qword", REGISTRY_TYPE_QWORD, {1, 2, 3, 4, 5, 6, 7, 8}},
        {L"DwordOfThreeBytes", REGISTRY_TYPE_DWORD, {1, 2, 3}},
    };
    RegistryHandle key = 0;
    ASSERT_TRUE(registry->createKey(RegistryRoot::CurrentUser, scratch(L"Types"), &key));
    for (const Case& c : cases)
        EXPECT_TRUE(registry->setValue(key, c.name, c.type, c.data.data(),
                                       static_cast<std::uint32_t>(c.data.size())))
            << std::string(c.name.begin(), c.name.end());
    ASSERT_TRUE(registry->closeKey(key));

    ASSERT_TRUE(registry->openKey(RegistryRoot::CurrentUser, scratch(L"Types"),
                                  RegistryAccess::Read, &key));
    for (const Case& c : cases) {
        std::uint32_t type = 0;
        bool ok = false;
        const auto data = read(*registry, key, c.name, 256, &type, &ok);
        EXPECT_TRUE(ok) << std::string(c.name.begin(), c.name.end());
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(data, c.data) << std::string(c.name.begin(), c.name.end());
    }
    EXPECT_TRUE(registry->closeKey(key));
}

TEST_P(RegistryContract, AValueLargerThanTheBufferFailsAndReportsItsSize) {
    RegistryHandle key = 0;
    ASSERT_TRUE(registry->createKey(RegistryRoot::CurrentUser, scratch(L"Sizes"), &key));
    const std::vector<std::uint8_t> eighty(80, 0x11);
    ASSERT_TRUE(registry->setValue(key, L"Eighty", REGISTRY_TYPE_BINARY, eighty.data(), 80));
    const std::uint64_t wide = 0x0102030405060708ull;
    ASSERT_TRUE(registry->setValue(key, L"Eight", REGISTRY_TYPE_QWORD, &wide, 8));
    ASSERT_TRUE(registry->closeKey(key));

    ASSERT_TRUE(registry->openKey(RegistryRoot::CurrentUser, scratch(L"Sizes"),
                                  RegistryAccess::Read, &key));
    std::array<std::uint8_t, 80> buffer{};
    std::uint32_t type = 0, size = 0;
    EXPECT_FALSE(registry->queryValue(key, L"Eighty", buffer.data(), 64, &type, &size));
    EXPECT_EQ(size, 80u);
    EXPECT_FALSE(registry->queryValue(key, L"Eighty", buffer.data(), 79, &type, &size));
    EXPECT_TRUE(registry->queryValue(key, L"Eighty", buffer.data(), 80, &type, &size));
    EXPECT_EQ(size, 80u);
    EXPECT_EQ(type, REGISTRY_TYPE_BINARY);
    // An eight-byte value does not fit a four-byte buffer, whatever its type.
    EXPECT_FALSE(registry->queryValue(key, L"Eight", buffer.data(), 4, &type, &size));
    EXPECT_EQ(size, 8u);
    // A smaller value fits a larger buffer and reports its own size.
    EXPECT_TRUE(registry->queryValue(key, L"Eight", buffer.data(), 64, &type, &size));
    EXPECT_EQ(size, 8u);
    EXPECT_EQ(type, REGISTRY_TYPE_QWORD);
    EXPECT_TRUE(registry->closeKey(key));
}

TEST_P(RegistryContract, MissingValuesFailAndDeletingThemIsHarmless) {
    RegistryHandle key = 0;
    ASSERT_TRUE(registry->createKey(RegistryRoot::CurrentUser, scratch(L"Delete"), &key));
    const std::uint32_t one = 1;
    ASSERT_TRUE(registry->setValue(key, L"Keep", REGISTRY_TYPE_DWORD, &one, 4));
    ASSERT_TRUE(registry->setValue(key, L"Drop", REGISTRY_TYPE_DWORD, &one, 4));
    EXPECT_FALSE(registry->deleteValue(key, L"NeverThere"));
    EXPECT_TRUE(registry->deleteValue(key, L"Drop"));
    EXPECT_FALSE(registry->deleteValue(key, L"Drop"));
    ASSERT_TRUE(registry->closeKey(key));

    ASSERT_TRUE(registry->openKey(RegistryRoot::CurrentUser, scratch(L"Delete"),
                                  RegistryAccess::Read, &key));
    std::uint32_t value = 0, type = 99, size = 99;
    EXPECT_FALSE(registry->queryValue(key, L"Drop", &value, 4, &type, &size));
    EXPECT_EQ(size, 0u);
    EXPECT_FALSE(registry->queryValue(key, L"NeverThere", &value, 4, &type, &size));
    EXPECT_TRUE(registry->queryValue(key, L"Keep", &value, 4, &type, &size));
    EXPECT_EQ(value, 1u);
    EXPECT_TRUE(registry->closeKey(key));
}

TEST_P(RegistryContract, AKeyOpenedForReadingRefusesChangesAndOneForWritingRefusesReads) {
    RegistryHandle key = 0;
    ASSERT_TRUE(registry->createKey(RegistryRoot::CurrentUser, scratch(L"Access"), &key));
    const std::uint32_t one = 1;
    ASSERT_TRUE(registry->setValue(key, L"Value", REGISTRY_TYPE_DWORD, &one, 4));
    std::uint32_t value = 0;
    EXPECT_FALSE(registry->queryValue(key, L"Value", &value, 4, nullptr, nullptr));
    ASSERT_TRUE(registry->closeKey(key));

    ASSERT_TRUE(registry->openKey(RegistryRoot::CurrentUser, scratch(L"Access"),
                                  RegistryAccess::Read, &key));
    const std::uint32_t two = 2;
    EXPECT_FALSE(registry->setValue(key, L"Value", REGISTRY_TYPE_DWORD, &two, 4));
    EXPECT_FALSE(registry->deleteValue(key, L"Value"));
    EXPECT_TRUE(registry->queryValue(key, L"Value", &value, 4, nullptr, nullptr));
    EXPECT_EQ(value, 1u);
    EXPECT_TRUE(registry->closeKey(key));

    ASSERT_TRUE(registry->openKey(RegistryRoot::CurrentUser, scratch(L"Access"),
                                  RegistryAccess::Write, &key));
    EXPECT_TRUE(registry->setValue(key, L"Value", REGISTRY_TYPE_DWORD, &two, 4));
    EXPECT_TRUE(registry->closeKey(key));
}

TEST_P(RegistryContract, NamesIgnoreCaseAndRewritingReplacesTypeAndSize) {
    RegistryHandle key = 0;
    ASSERT_TRUE(registry->createKey(RegistryRoot::CurrentUser, scratch(L"Case\\Key"), &key));
    const std::vector<std::uint8_t> text = utf16leBytes(L"eins");
    ASSERT_TRUE(registry->setValue(key, L"MixedName", REGISTRY_TYPE_SZ, text.data(),
                                   static_cast<std::uint32_t>(text.size())));
    const std::uint32_t four = 4;
    ASSERT_TRUE(registry->setValue(key, L"MIXEDNAME", REGISTRY_TYPE_DWORD, &four, 4));
    ASSERT_TRUE(registry->closeKey(key));

    ASSERT_TRUE(registry->openKey(RegistryRoot::CurrentUser, scratch(L"CASE\\key"),
                                  RegistryAccess::Read, &key));
    std::uint32_t type = 0;
    bool ok = false;
    const auto data = read(*registry, key, L"mixedname", 64, &type, &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(type, REGISTRY_TYPE_DWORD);
    EXPECT_EQ(data, (std::vector<std::uint8_t>{4, 0, 0, 0}));
    EXPECT_TRUE(registry->closeKey(key));
}

TEST_P(RegistryContract, TheTwoHivesAreSeparate) {
    RegistryHandle key = 0;
    ASSERT_TRUE(registry->createKey(RegistryRoot::LocalMachine, scratch(L"Hive"), &key));
    const std::vector<std::uint8_t> text = utf16leBytes(L"Maschine");
    ASSERT_TRUE(registry->setValue(key, L"Owner", REGISTRY_TYPE_SZ, text.data(),
                                   static_cast<std::uint32_t>(text.size())));
    ASSERT_TRUE(registry->closeKey(key));

    EXPECT_FALSE(
        registry->openKey(RegistryRoot::CurrentUser, scratch(L"Hive"), RegistryAccess::Read, &key));
    ASSERT_TRUE(registry->openKey(RegistryRoot::LocalMachine, scratch(L"Hive"),
                                  RegistryAccess::Read, &key));
    std::uint32_t type = 0;
    bool ok = false;
    const auto data = read(*registry, key, L"Owner", 64, &type, &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(textFromUtf16le(data.data(), data.size()), L"Maschine");
    EXPECT_TRUE(registry->closeKey(key));
}
