#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Registry strings are UTF-16LE bytes whatever the size of wchar_t (2 on Windows, 4 here).

// The text's UTF-16LE bytes followed by a two-byte terminator.
std::vector<std::uint8_t> utf16leBytes(const std::wstring& text);

// The text held in size bytes of UTF-16LE, up to the first terminator; an odd last byte is
// dropped and an unpaired surrogate becomes U+FFFD on platforms with a 4-byte wchar_t.
std::wstring textFromUtf16le(const std::uint8_t* bytes, std::size_t size);
