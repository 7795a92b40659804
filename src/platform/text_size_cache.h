#pragma once

#include "platform/canvas.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Sizes of texts already measured in one set of fonts. Every paint measures the same few
// hundred texts as the one before, and each measurement asks the font engine again; this
// keeps the answers until the fonts change. It holds a fixed number of entries: a text that
// lands on a taken slot replaces what was there, so memory stays bounded whatever is measured.
class TextSizeCache {
public:
    std::optional<TextSize> find(Font font, std::wstring_view text) const;
    void remember(Font font, std::wstring_view text, TextSize size);
    void clear();

    static constexpr std::size_t SLOTS = 512;
    // Longer texts (rare, and never repeated word for word) are measured every time.
    static constexpr std::size_t LONGEST_TEXT = 160;

private:
    struct Entry {
        std::uint64_t key = 0;
        Font font = Font::FontBody;
        TextSize size;
        bool used = false;
        std::wstring text;
    };
    static std::uint64_t keyOf(Font font, std::wstring_view text);

    std::vector<Entry> entries_; // SLOTS once the first text is remembered
};
