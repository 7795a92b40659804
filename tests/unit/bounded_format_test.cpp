#include "base/bounded_format.h"
#include "base/rounding.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>

namespace {

constexpr wchar_t kGuard = L'\x7F';

// Fills a buffer with a guard so writes past the allowed end show up.
template <std::size_t N> struct Guarded {
    wchar_t data[N + 4];
    Guarded() {
        for (auto& c : data)
            c = kGuard;
    }
    bool tailIntact() const {
        for (std::size_t i = N; i < N + 4; ++i)
            if (data[i] != kGuard)
                return false;
        return true;
    }
};

} // namespace

TEST(BoundedFormat, FitsExactlyAndReportsLength) {
    Guarded<32> b;
    const std::size_t n = formatBounded(b.data, 32, L"%.0f RPM · CPU %.0f°C", 2422.4, 61.5);
    EXPECT_EQ(std::wstring(b.data), L"2422 RPM · CPU 62°C");
    EXPECT_EQ(n, std::wcslen(b.data));
    EXPECT_TRUE(b.tailIntact());
}

TEST(BoundedFormat, CutsAtCapacityMinusOneWithTerminator) {
    // The same cut on every C library, whether its swprintf fails or truncates by itself.
    {
        Guarded<12> b;
        const std::size_t n =
            formatBounded(b.data, 12, L"Ventrasol — %.0f RPM · GPU %.0f°C", 1829.0, 47.0);
        EXPECT_EQ(n, 11u);
        EXPECT_EQ(std::wstring(b.data), L"Ventrasol —");
        EXPECT_TRUE(b.tailIntact());
    }
    {
        Guarded<8> b;
        formatBounded(b.data, 8, L"%d × %d Pixel", 1920, 1080);
        EXPECT_EQ(std::wstring(b.data), L"1920 × ");
        EXPECT_TRUE(b.tailIntact());
    }
    {
        Guarded<6> b;
        formatBounded(b.data, 6, L"Lüfter %ls", L"Hauptlüfter (CPU / Gehäuse)");
        EXPECT_EQ(std::wstring(b.data), L"Lüfte");
    }
    {
        Guarded<1> b;
        EXPECT_EQ(formatBounded(b.data, 1, L"%ls", L"x"), 0u);
        EXPECT_EQ(b.data[0], L'\0');
        EXPECT_TRUE(b.tailIntact());
    }
}

TEST(BoundedFormat, WideStringArgumentsAndLongOutput) {
    const std::wstring longText(3000, L'ä');
    Guarded<128> b;
    const std::size_t n = formatBounded(b.data, 128, L"[%ls]", longText.c_str());
    EXPECT_EQ(n, 127u);
    EXPECT_EQ(b.data[0], L'[');
    EXPECT_EQ(b.data[126], L'ä');
    EXPECT_TRUE(b.tailIntact());
}

TEST(BoundedFormat, ZeroCapacityAndNullArgumentsWriteNothing) {
    wchar_t one = kGuard;
    EXPECT_EQ(formatBounded(&one, 0, L"abc"), 0u);
    EXPECT_EQ(one, kGuard);
    EXPECT_EQ(formatBounded(nullptr, 10, L"abc"), 0u);
    wchar_t buf[4] = {L'x', L'x', L'x', L'x'};
    EXPECT_EQ(formatBounded(buf, 4, nullptr), 0u);
    EXPECT_EQ(buf[0], L'\0');
}

TEST(BoundedFormat, NeverLeavesALoneLeadSurrogateAtTheCut) {
    // Built from code units so the text is the same on 2- and 4-byte wchar_t.
    const wchar_t pair[] = {L'a', L'b', static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00),
                            L'\0'};
    Guarded<4> b;
    EXPECT_EQ(copyBounded(b.data, 4, pair), 2u);
    EXPECT_EQ(std::wstring(b.data), L"ab");
    Guarded<5> whole;
    EXPECT_EQ(copyBounded(whole.data, 5, pair), 4u);
    EXPECT_EQ(std::wstring(whole.data), std::wstring(pair));

    if constexpr (sizeof(wchar_t) == 2) {
        // A real emoji is a surrogate pair only where wchar_t is UTF-16.
        Guarded<4> f;
        EXPECT_EQ(formatBounded(f.data, 4, L"ab%ls", L"\U0001F600"), 2u);
        EXPECT_EQ(std::wstring(f.data), L"ab");
        EXPECT_TRUE(f.tailIntact());
    }
}

TEST(Rounding, HalvesGoAwayFromZero) {
    EXPECT_EQ(roundHalfAway(2.5), 3.0);
    EXPECT_EQ(roundHalfAway(3013.5), 3014.0);
    EXPECT_EQ(roundHalfAway(-2.5), -3.0);
    EXPECT_EQ(roundHalfAway(2.4999), 2.0);
}

TEST(BoundedFormat, WholeNumbersRoundLikePrintfOnEveryLibrary) {
    // Ties go to the even neighbour, negatives that round to zero keep their sign, and what
    // the shortcut cannot write exactly still comes out as printf writes it.
    const struct {
        double value;
        const wchar_t* expected;
    } cases[] = {
        {2422.4, L"2422 RPM"}, {61.5, L"62 RPM"},
        {62.5, L"62 RPM"},     {0.5, L"0 RPM"},
        {-0.3, L"-0 RPM"},     {-1.5, L"-2 RPM"},
        {0.0, L"0 RPM"},       {4294967296.7, L"4294967297 RPM"},
        {1e300, nullptr},
    };
    for (const auto& c : cases) {
        Guarded<400> b;
        formatBounded(b.data, 400, L"%.0f RPM", c.value);
        if (c.expected != nullptr)
            EXPECT_EQ(std::wstring(b.data), c.expected) << c.value;
        else
            EXPECT_EQ(std::wstring(b.data).substr(0, 5), L"10000") << c.value;
        EXPECT_TRUE(b.tailIntact());
    }
    // Tenths: the binary value decides, not the decimal text it was written as (0.15 is just
    // below a half, 0.25 a true tie).
    const struct {
        double value;
        const wchar_t* expected;
    } tenths[] = {
        {0.05, L"0.1"},
        {0.15, L"0.1"},
        {0.25, L"0.2"},
        {0.35, L"0.3"},
        {2.25, L"2.2"},
        {2.35, L"2.4"},
        {0.45, L"0.5"},
        {99.95, L"100.0"},
        {-0.04, L"-0.0"},
        {-47.25, L"-47.2"},
        {1e16, L"10000000000000000.0"},
    };
    for (const auto& c : tenths) {
        Guarded<64> b;
        formatBounded(b.data, 64, L"%.1f", c.value);
        EXPECT_EQ(std::wstring(b.data), c.expected) << c.value;
    }
    Guarded<64> mixed;
    formatBounded(mixed.data, 64, L"%d%% · %ls · %d · %.1f", -7, L"Lüfter", 2147483647, 2.26);
    EXPECT_EQ(std::wstring(mixed.data), L"-7% · Lüfter · 2147483647 · 2.3");
}
