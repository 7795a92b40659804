#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

// Hands out a fuzzer's bytes as typed values; past the end everything reads as zero.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data(data), size(size) {}

    bool empty() const { return pos >= size; }
    std::uint8_t byte() { return pos < size ? data[pos++] : 0; }
    bool flag() { return (byte() & 1) != 0; }
    template <typename T> T value() {
        unsigned char raw[sizeof(T)] = {};
        for (unsigned char& b : raw)
            b = byte();
        T out;
        std::memcpy(&out, raw, sizeof(T));
        return out;
    }
    std::vector<std::uint8_t> bytes(std::size_t count) {
        std::vector<std::uint8_t> out;
        while (count-- > 0 && pos < size)
            out.push_back(data[pos++]);
        return out;
    }
    // Any 16-bit units, as Windows could hand them over (lone surrogates included).
    std::wstring utf16(std::size_t maxUnits) {
        const std::size_t n = byte() % (maxUnits + 1);
        std::wstring out;
        for (std::size_t i = 0; i < n && pos < size; ++i)
            out.push_back(static_cast<wchar_t>(value<std::uint16_t>()));
        return out;
    }

private:
    const std::uint8_t* data;
    std::size_t size;
    std::size_t pos = 0;
};

// Stops the fuzzer with a message when an invariant breaks.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition))                                                                          \
            fuzzFailure(#condition, __FILE__, __LINE__);                                           \
    } while (0)

[[noreturn]] void fuzzFailure(const char* what, const char* file, int line);
