#pragma once

#include <cstddef>

// Formats into a fixed wide buffer: at most capacity - 1 characters and always a terminator,
// the same result on every C library. Output that does not fit is cut, and a cut never leaves
// the lead half of a UTF-16 surrogate pair behind. Wide strings are passed with %ls.
// Returns the number of characters written (without the terminator); 0 when capacity is 0.
std::size_t formatBounded(wchar_t* buffer, std::size_t capacity, const wchar_t* format, ...);

// Copies text into a fixed buffer by the same rules.
std::size_t copyBounded(wchar_t* buffer, std::size_t capacity, const wchar_t* text);
