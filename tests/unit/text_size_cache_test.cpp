#include "platform/text_size_cache.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

// Two different texts whose keys fall on the same slot: the second replaces the first.
std::pair<std::wstring, std::wstring> collidingTexts() {
    const std::wstring first = L"t0";
    for (int i = 1;; ++i) {
        const std::wstring other = L"t" + std::to_wstring(i);
        TextSizeCache c;
        c.remember(Font::FontBody, first, {1, 1});
        c.remember(Font::FontBody, other, {2, 2});
        if (!c.find(Font::FontBody, first))
            return {first, other};
    }
}

} // namespace

TEST(TextSizeCache, AnswersOnlyForTheSameTextInTheSameFont) {
    TextSizeCache c;
    EXPECT_FALSE(c.find(Font::FontBody, L"Lüfter 1"));
    c.remember(Font::FontBody, L"Lüfter 1", {52, 17});
    c.remember(Font::FontBold, L"", {0, 18});
    const struct {
        Font font;
        const wchar_t* text;
        std::optional<TextSize> expected;
    } cases[] = {
        {Font::FontBody, L"Lüfter 1", TextSize{52, 17}},
        {Font::FontBold, L"Lüfter 1", std::nullopt}, // another font
        {Font::FontBody, L"Lüfter 2", std::nullopt},
        {Font::FontBody, L"Lüfter", std::nullopt}, // a start of it
        {Font::FontBold, L"", TextSize{0, 18}},    // the empty text keeps its height
        {Font::FontBody, L"", std::nullopt},
    };
    for (const auto& k : cases)
        EXPECT_EQ(c.find(k.font, k.text), k.expected) << static_cast<int>(k.font);
}

TEST(TextSizeCache, StaysBoundedAndForgetsOnClear) {
    TextSizeCache c;
    const auto [first, other] = collidingTexts();
    c.remember(Font::FontBody, first, {1, 1});
    c.remember(Font::FontBody, other, {2, 2});
    EXPECT_FALSE(c.find(Font::FontBody, first));
    EXPECT_EQ(c.find(Font::FontBody, other), (TextSize{2, 2}));

    const std::wstring longText(TextSizeCache::LONGEST_TEXT + 1, L'x');
    c.remember(Font::FontBody, longText, {999, 17});
    EXPECT_FALSE(c.find(Font::FontBody, longText));

    c.clear();
    EXPECT_FALSE(c.find(Font::FontBody, other));
}
