#pragma once

// The two tables behind texts.h, and the lookup (text_tables.cpp); only the lookup and the tests
// read the tables directly.

#include "base/texts.h"

#include <array>

struct TextEntry {
    TextId id;
    const wchar_t* text;
};

using TextTable = std::array<TextEntry, TEXT_COUNT>;

// Each entry where its id says: a table with one left out or two swapped fails to compile.
constexpr bool inIdOrder(const TextTable& table) {
    for (std::size_t i = 0; i < table.size(); ++i)
        if (static_cast<std::size_t>(table[i].id) != i)
            return false;
    return true;
}

extern const TextTable GERMAN_TEXTS;
extern const TextTable ENGLISH_TEXTS;
