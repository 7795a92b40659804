#include "base/bounded_format.h"

#include <cstdarg>
#include <cwchar>
#include <vector>

namespace {

// A 4-byte wchar_t never holds surrogates in valid text, but the check is harmless there.
bool isLeadSurrogate(wchar_t c) {
    const auto v = static_cast<unsigned long>(c);
    return v >= 0xD800ul && v <= 0xDBFFul;
}

std::size_t cutInto(wchar_t* buffer, std::size_t capacity, const wchar_t* text,
                    std::size_t length) {
    std::size_t n = length < capacity - 1 ? length : capacity - 1;
    if (n < length && n > 0 && isLeadSurrogate(text[n - 1]))
        --n;
    for (std::size_t i = 0; i < n; ++i)
        buffer[i] = text[i];
    buffer[n] = L'\0';
    return n;
}

} // namespace

std::size_t formatBounded(wchar_t* buffer, std::size_t capacity, const wchar_t* format, ...) {
    if (buffer == nullptr || capacity == 0)
        return 0;
    buffer[0] = L'\0';
    if (format == nullptr)
        return 0;

    // glibc reports a too-small buffer as -1 and MinGW returns the full length after cutting,
    // so format into scratch space big enough for the whole text and cut it ourselves.
    constexpr std::size_t kLimit = 1u << 20;
    std::size_t size = capacity < 256 ? 256 : capacity + 1;
    std::vector<wchar_t> scratch;
    for (;;) {
        scratch.assign(size, L'\0');
        va_list args;
        va_start(args, format);
        const int written = std::vswprintf(scratch.data(), size, format, args);
        va_end(args);
        if (written >= 0 && static_cast<std::size_t>(written) < size)
            return cutInto(buffer, capacity, scratch.data(), static_cast<std::size_t>(written));
        if (size >= kLimit)
            return 0; // an encoding error, or absurd output: leave an empty text
        size *= 4;
    }
}

std::size_t copyBounded(wchar_t* buffer, std::size_t capacity, const wchar_t* text) {
    if (buffer == nullptr || capacity == 0)
        return 0;
    if (text == nullptr) {
        buffer[0] = L'\0';
        return 0;
    }
    return cutInto(buffer, capacity, text, std::wcslen(text));
}
