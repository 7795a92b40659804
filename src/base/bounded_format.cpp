#include "base/bounded_format.h"

#include <cmath>
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

// Appends to a text of at most kFastCapacity - 1 units; false once it would not fit.
constexpr std::size_t kFastCapacity = 256;
struct FastText {
    wchar_t text[kFastCapacity];
    std::size_t length = 0;
    bool put(wchar_t c) {
        if (length + 1 >= kFastCapacity)
            return false;
        text[length++] = c;
        return true;
    }
    bool putWhole(unsigned long long magnitude, bool negative) {
        wchar_t digits[24];
        int n = 0;
        do {
            digits[n++] = static_cast<wchar_t>(L'0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0);
        if (negative && !put(L'-'))
            return false;
        while (n > 0)
            if (!put(digits[--n]))
                return false;
        return true;
    }
};

// |v| in tenths, rounded as printf rounds the exact binary value. 10|v| = 8|v| + 2|v| is
// carried as a rounded sum and its exact error, so that a tie is a true tie (it goes to the
// even neighbour) and a value just off one is not mistaken for it. False for values too large
// for the sum's fraction to be exact.
bool tenthsOf(double v, unsigned long long& tenths) {
    if (!std::isfinite(v) || std::fabs(v) > 4.0e14)
        return false;
    const double eight = std::fabs(v) * 8.0, two = std::fabs(v) * 2.0;
    const double sum = eight + two;
    const double back = sum - eight;
    const double error = (eight - (sum - back)) + (two - back);
    tenths = static_cast<unsigned long long>(sum);
    const double fraction = sum - static_cast<double>(tenths);
    if (fraction > 0.5 || (fraction == 0.5 && (error > 0.0 || (error == 0.0 && tenths % 2 == 1))))
        ++tenths;
    return true;
}

// Every value on screen is formatted once per paint, most of them with "%.0f", and the C
// library's float printing is by far the dearest part of a paint. The few conversions the
// program uses are done here; anything else (and any value the shortcut cannot render exactly
// like printf) goes to vswprintf. Rounding follows printf's: to nearest, ties to even.
bool formatFast(FastText& out, const wchar_t* format, va_list args) {
    for (const wchar_t* f = format; *f != L'\0'; ++f) {
        if (*f != L'%') {
            if (!out.put(*f))
                return false;
            continue;
        }
        ++f;
        if (*f == L'%') {
            if (!out.put(L'%'))
                return false;
        } else if (*f == L'd') {
            const int v = va_arg(args, int);
            const bool negative = v < 0;
            const unsigned long long magnitude =
                negative ? 0ull - static_cast<unsigned long long>(static_cast<long long>(v))
                         : static_cast<unsigned long long>(v);
            if (!out.putWhole(magnitude, negative))
                return false;
        } else if (f[0] == L'l' && f[1] == L's') {
            ++f;
            const wchar_t* text = va_arg(args, const wchar_t*);
            if (text == nullptr)
                return false;
            for (; *text != L'\0'; ++text)
                if (!out.put(*text))
                    return false;
        } else if (f[0] == L'.' && f[1] == L'0' && f[2] == L'f') {
            f += 2;
            const double v = va_arg(args, double);
            // Whole numbers up to 2^53 are exact in a double and in the integer.
            if (!std::isfinite(v) || std::fabs(v) > 9007199254740992.0)
                return false;
            const double rounded = std::nearbyint(std::fabs(v));
            if (!out.putWhole(static_cast<unsigned long long>(rounded), std::signbit(v)))
                return false;
        } else if (f[0] == L'.' && f[1] == L'1' && f[2] == L'f') {
            f += 2;
            const double v = va_arg(args, double);
            unsigned long long tenths = 0;
            if (!tenthsOf(v, tenths) || !out.putWhole(tenths / 10, std::signbit(v)) ||
                !out.put(L'.') || !out.put(static_cast<wchar_t>(L'0' + tenths % 10)))
                return false;
        } else {
            return false;
        }
    }
    out.text[out.length] = L'\0';
    return true;
}

} // namespace

std::size_t formatBounded(wchar_t* buffer, std::size_t capacity, const wchar_t* format, ...) {
    if (buffer == nullptr || capacity == 0)
        return 0;
    buffer[0] = L'\0';
    if (format == nullptr)
        return 0;

    {
        FastText fast;
        va_list args;
        va_start(args, format);
        const bool done = formatFast(fast, format, args);
        va_end(args);
        if (done)
            return cutInto(buffer, capacity, fast.text, fast.length);
    }

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
