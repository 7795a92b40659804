#include "base/text_tables.h"

#include <atomic>

namespace {

// Read by the sensor worker as it names its rows, written by the user-interface thread.
std::atomic<Language> current{Language::German};

} // namespace

const wchar_t* textIn(Language language, TextId id) {
    const auto i = static_cast<std::size_t>(id);
    if (i >= TEXT_COUNT)
        return L"?";
    return (language == Language::English ? ENGLISH_TEXTS : GERMAN_TEXTS)[i].text;
}

const wchar_t* text(TextId id) {
    return textIn(current.load(std::memory_order_relaxed), id);
}

Language textLanguage() {
    return current.load(std::memory_order_relaxed);
}

void setTextLanguage(Language language) {
    current.store(language, std::memory_order_relaxed);
}
