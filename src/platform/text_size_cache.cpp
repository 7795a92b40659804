#include "platform/text_size_cache.h"

std::uint64_t TextSizeCache::keyOf(Font font, std::wstring_view text) {
    std::uint64_t h = 14695981039346656037ull ^ static_cast<std::uint64_t>(font);
    for (const wchar_t c : text) {
        h ^= static_cast<std::uint64_t>(static_cast<std::uint32_t>(c));
        h *= 1099511628211ull;
    }
    return h;
}

std::optional<TextSize> TextSizeCache::find(Font font, std::wstring_view text) const {
    if (entries_.empty() || text.size() > LONGEST_TEXT)
        return std::nullopt;
    const std::uint64_t key = keyOf(font, text);
    const Entry& e = entries_[key % SLOTS];
    if (!e.used || e.key != key || e.font != font || e.text != text)
        return std::nullopt;
    return e.size;
}

void TextSizeCache::remember(Font font, std::wstring_view text, TextSize size) {
    if (text.size() > LONGEST_TEXT)
        return;
    if (entries_.empty())
        entries_.resize(SLOTS);
    const std::uint64_t key = keyOf(font, text);
    Entry& e = entries_[key % SLOTS];
    e.key = key;
    e.font = font;
    e.size = size;
    e.used = true;
    e.text.assign(text); // reuses the slot's buffer when it is long enough
}

void TextSizeCache::clear() {
    entries_.clear();
    entries_.shrink_to_fit();
}
