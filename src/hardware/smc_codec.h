#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The SMC driver's wire format and the SMC's two number types, decided on the portable side.

inline constexpr std::uint32_t IOCTL_SMC_READ_KEY = 0x220000;
inline constexpr std::uint32_t IOCTL_SMC_WRITE_KEY = 0x220004;
inline constexpr std::uint32_t IOCTL_SMC_QUERY_MODE = 0x220020;

// Four key characters in reading order, the data size, then (write only) the data bytes.
struct SmcKeyRequest {
    std::array<std::uint8_t, 9> bytes{};
    std::uint32_t length = 0;
};

// key must hold at least four characters; only the first four are sent.
SmcKeyRequest makeSmcReadRequest(const char* key, std::uint8_t size);
SmcKeyRequest makeSmcWriteRequest(const char* key, std::uint8_t size, const std::uint8_t* data);

// flt: IEEE-754 single precision, little-endian. Accepted when finite and strictly between
// -50 and 10000.
bool decodeSmcFloat(const std::uint8_t* bytes, double* value);
// sp78: big-endian signed 16 bits with 8 fraction bits. Accepted when above -50.
bool decodeSmcSp78(const std::uint8_t* bytes, double* value);
std::array<std::uint8_t, 4> encodeSmcFloat(float value);
