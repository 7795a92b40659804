#include "base/utf16.h"
#include "fakes/fake_registry.h"

#include <gtest/gtest.h>

#include <utility>

TEST(RegistryKeyTest, ClosesWhatItOpenedAlsoAfterAMove) {
    FakeRegistry reg;
    reg.addKey(RegistryRoot::CurrentUser, L"Software\\A");
    {
        RegistryKey key(&reg);
        ASSERT_TRUE(key.open(RegistryRoot::CurrentUser, L"Software\\A", RegistryAccess::Read));
        EXPECT_EQ(reg.openKeyCount(), 1);
        // Reopening the same object closes the previous key first.
        ASSERT_TRUE(key.create(RegistryRoot::CurrentUser, L"Software\\A\\B"));
        EXPECT_EQ(reg.openKeyCount(), 1);
        RegistryKey moved(std::move(key));
        EXPECT_FALSE(key.isOpen());
        EXPECT_TRUE(moved.isOpen());
        EXPECT_TRUE(moved.setDword(L"V", 0x01020304u));
        RegistryKey other(&reg);
        ASSERT_TRUE(other.open(RegistryRoot::CurrentUser, L"Software\\A", RegistryAccess::Read));
        other = std::move(moved);
        EXPECT_EQ(reg.openKeyCount(), 1);
    }
    EXPECT_EQ(reg.openKeyCount(), 0);
    EXPECT_EQ(reg.value(RegistryRoot::CurrentUser, L"Software\\A\\B", L"V"),
              (FakeRegistryValue{REGISTRY_TYPE_DWORD, {4, 3, 2, 1}}));
}

TEST(RegistryKeyTest, WithoutARegistryOrAnOpenKeyEverythingFails) {
    RegistryKey none(nullptr);
    EXPECT_FALSE(none.open(RegistryRoot::CurrentUser, L"Software", RegistryAccess::Read));
    EXPECT_FALSE(none.create(RegistryRoot::CurrentUser, L"Software\\X"));
    FakeRegistry reg;
    RegistryKey closed(&reg);
    std::uint32_t v = 0;
    EXPECT_FALSE(closed.query(L"V", &v, 4, nullptr, nullptr));
    EXPECT_FALSE(closed.setDword(L"V", 1));
    EXPECT_FALSE(closed.remove(L"V"));
    EXPECT_TRUE(closed.close());
    EXPECT_FALSE(reg.hasKey(RegistryRoot::CurrentUser, L"Software\\X"));
}

TEST(FakeRegistryTest, RefusesWritesWhereToldAndEverythingWhenUnreachable) {
    FakeRegistry reg;
    reg.addKey(RegistryRoot::CurrentUser, L"Software\\Locked");
    reg.denyWrite(RegistryRoot::CurrentUser, L"software\\locked");
    RegistryKey key(&reg);
    EXPECT_FALSE(key.open(RegistryRoot::CurrentUser, L"Software\\Locked", RegistryAccess::Write));
    EXPECT_FALSE(key.create(RegistryRoot::CurrentUser, L"Software\\Locked"));
    EXPECT_TRUE(key.open(RegistryRoot::CurrentUser, L"Software\\Locked", RegistryAccess::Read));
    reg.failAll = true;
    EXPECT_FALSE(key.open(RegistryRoot::CurrentUser, L"Software\\Locked", RegistryAccess::Read));
    EXPECT_FALSE(key.create(RegistryRoot::CurrentUser, L"Software\\Other"));
}

TEST(Utf16Test, EncodesAndDecodesWithTerminatorAndSurrogates) {
    const auto bytes = utf16leBytes(L"A\u00fc\u2014");
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0x41, 0, 0xFC, 0, 0x14, 0x20, 0, 0}));
    EXPECT_EQ(textFromUtf16le(bytes.data(), bytes.size()), L"A\u00fc\u2014");
    // A character outside the basic plane takes a surrogate pair on disk on every platform.
    const std::wstring clef = L"\U0001D11E";
    const auto pair = utf16leBytes(clef);
    EXPECT_EQ(pair, (std::vector<std::uint8_t>{0x34, 0xD8, 0x1E, 0xDD, 0, 0}));
    EXPECT_EQ(textFromUtf16le(pair.data(), pair.size()), clef);
    // Unterminated data ends at its size; an odd last byte is dropped; text stops at a zero.
    const std::uint8_t raw[] = {0x48, 0, 0x69, 0, 0x21};
    EXPECT_EQ(textFromUtf16le(raw, sizeof raw), L"Hi");
    const std::uint8_t cut[] = {0x48, 0, 0, 0, 0x69, 0};
    EXPECT_EQ(textFromUtf16le(cut, sizeof cut), L"H");
    EXPECT_EQ(textFromUtf16le(nullptr, 8), L"");
}
