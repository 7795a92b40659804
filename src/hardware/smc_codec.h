#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The SMC driver's wire format and the SMC's number types, decided on the portable side.

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

// flt: IEEE-754 single precision, little-endian. Accepted when normal or zero and strictly
// between -50 and 10000.
bool decodeSmcFloat(const std::uint8_t* bytes, double* value);
// sp78: big-endian signed 16 bits with 8 fraction bits. Accepted when above -50.
bool decodeSmcSp78(const std::uint8_t* bytes, double* value);
// fpe2: big-endian unsigned 16 bits with 2 fraction bits, the older SMCs' fan speeds.
bool decodeSmcFpe2(const std::uint8_t* bytes, double* value);
std::array<std::uint8_t, 4> encodeSmcFloat(float value);
// Rounded to the nearest quarter and held to what fpe2 can carry, 0 .. 16383.75.
std::array<std::uint8_t, 2> encodeSmcFpe2(double value);

// What a key holds decides how its bytes read: the SMC only tells the size, and the same size
// means different types for a fan speed (fpe2) and a temperature (sp78).
enum class SmcQuantity { Speed, Temperature, Power };

// Temperatures beyond this are a sensor fault, not a reading.
inline constexpr double SMC_TEMPERATURE_MIN = -50.0;
inline constexpr double SMC_TEMPERATURE_MAX = 150.0;

// size 4: flt for every quantity; size 2: fpe2 for a speed, sp78 otherwise; any other size
// fails. A temperature outside SMC_TEMPERATURE_MIN .. SMC_TEMPERATURE_MAX fails too.
bool decodeSmcValue(SmcQuantity quantity, const std::uint8_t* bytes, std::uint8_t size,
                    double* value);
