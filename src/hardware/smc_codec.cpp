#include "hardware/smc_codec.h"

#include <cmath>
#include <cstring>

SmcKeyRequest makeSmcReadRequest(const char* key, std::uint8_t size) {
    SmcKeyRequest r;
    std::memcpy(r.bytes.data(), key, 4);
    r.bytes[4] = size;
    r.length = 5;
    return r;
}

SmcKeyRequest makeSmcWriteRequest(const char* key, std::uint8_t size, const std::uint8_t* data) {
    SmcKeyRequest r = makeSmcReadRequest(key, size);
    // Never more than the four data bytes the SMC's types have.
    const std::uint8_t n = size > 4 ? 4 : size;
    std::memcpy(r.bytes.data() + 5, data, n);
    r.length = 5u + n;
    return r;
}

bool decodeSmcFloat(const std::uint8_t* bytes, double* value) {
    const std::uint32_t bits = std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 |
                               std::uint32_t(bytes[2]) << 16 | std::uint32_t(bytes[3]) << 24;
    float f;
    std::memcpy(&f, &bits, sizeof f);
    // A subnormal is what garbage bytes in the low end look like, never a real reading.
    const int kind = std::fpclassify(f);
    if ((kind != FP_NORMAL && kind != FP_ZERO) || !(f > -50.0f) || !(f < 10000.0f))
        return false;
    *value = static_cast<double>(f);
    return true;
}

bool decodeSmcSp78(const std::uint8_t* bytes, double* value) {
    const auto raw =
        static_cast<std::int16_t>(static_cast<std::uint16_t>(bytes[0] << 8 | bytes[1]));
    const double v = raw / 256.0;
    if (!(v > -50.0))
        return false;
    *value = v;
    return true;
}

bool decodeSmcFpe2(const std::uint8_t* bytes, double* value) {
    *value = static_cast<std::uint16_t>(bytes[0] << 8 | bytes[1]) / 4.0;
    return true;
}

std::array<std::uint8_t, 4> encodeSmcFloat(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return {static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
            static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)};
}

std::array<std::uint8_t, 2> encodeSmcFpe2(double value) {
    std::uint16_t raw = 0;
    if (value >= 16383.75)
        raw = 0xFFFF;
    else if (value > 0)
        raw = static_cast<std::uint16_t>(std::lround(value * 4.0));
    return {static_cast<std::uint8_t>(raw >> 8), static_cast<std::uint8_t>(raw)};
}

bool decodeSmcValue(SmcQuantity quantity, const std::uint8_t* bytes, std::uint8_t size,
                    double* value) {
    double v = 0;
    bool ok = false;
    if (size == 4)
        ok = decodeSmcFloat(bytes, &v);
    else if (size == 2)
        ok = quantity == SmcQuantity::Speed ? decodeSmcFpe2(bytes, &v) : decodeSmcSp78(bytes, &v);
    if (!ok)
        return false;
    if (quantity == SmcQuantity::Temperature &&
        (v < SMC_TEMPERATURE_MIN || v > SMC_TEMPERATURE_MAX))
        return false;
    *value = v;
    return true;
}
