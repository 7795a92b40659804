#include "hardware/smc_codec.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {
bool decodeFloat(float f, double* out) {
    const auto bytes = encodeSmcFloat(f);
    return decodeSmcFloat(bytes.data(), out);
}
} // namespace

TEST(SmcCodec, Sp78IsBigEndianSignedWithEightFractionBits) {
    double v = 123;
    const std::uint8_t a[] = {0x1A, 0x80};
    ASSERT_TRUE(decodeSmcSp78(a, &v));
    EXPECT_DOUBLE_EQ(v, 26.5);
    const std::uint8_t b[] = {0xFF, 0x00};
    ASSERT_TRUE(decodeSmcSp78(b, &v));
    EXPECT_DOUBLE_EQ(v, -1.0);
    const std::uint8_t c[] = {0xCE, 0x00}; // exactly -50: rejected, value untouched
    v = 7;
    EXPECT_FALSE(decodeSmcSp78(c, &v));
    EXPECT_EQ(v, 7);
    const std::uint8_t d[] = {0xCE, 0x01}; // just above -50
    ASSERT_TRUE(decodeSmcSp78(d, &v));
    EXPECT_NEAR(v, -49.996, 0.001);
    const std::uint8_t e[] = {0x80, 0x00}; // most negative
    EXPECT_FALSE(decodeSmcSp78(e, &v));
    const std::uint8_t f[] = {0x7F, 0xFF};
    ASSERT_TRUE(decodeSmcSp78(f, &v));
    EXPECT_NEAR(v, 127.996, 0.001);
}

TEST(SmcCodec, FloatIsLittleEndianAndOnlyPlausibleValuesPass) {
    const std::uint8_t bytes[] = {0x00, 0x40, 0x1C, 0x45}; // 2500.0f
    double v = 0;
    ASSERT_TRUE(decodeSmcFloat(bytes, &v));
    EXPECT_DOUBLE_EQ(v, 2500.0);
    EXPECT_EQ(encodeSmcFloat(2500.0f), (std::array<std::uint8_t, 4>{0x00, 0x40, 0x1C, 0x45}));

    v = 7;
    EXPECT_FALSE(decodeFloat(std::numeric_limits<float>::quiet_NaN(), &v));
    EXPECT_FALSE(decodeFloat(std::numeric_limits<float>::infinity(), &v));
    EXPECT_FALSE(decodeFloat(-std::numeric_limits<float>::infinity(), &v));
    EXPECT_FALSE(decodeFloat(-50.0f, &v));
    EXPECT_FALSE(decodeFloat(10000.0f, &v));
    EXPECT_FALSE(decodeFloat(std::numeric_limits<float>::denorm_min(), &v)); // subnormal
    EXPECT_FALSE(decodeFloat(-1e-40f, &v));
    EXPECT_EQ(v, 7);
    ASSERT_TRUE(decodeFloat(0.0f, &v));
    ASSERT_TRUE(decodeFloat(-49.5f, &v));
    EXPECT_DOUBLE_EQ(v, -49.5);
    ASSERT_TRUE(decodeFloat(9999.5f, &v));
    EXPECT_DOUBLE_EQ(v, 9999.5);
}

TEST(SmcCodec, RequestsLayKeySizeAndDataOutByteForByte) {
    const SmcKeyRequest read = makeSmcReadRequest("TC0P", 4);
    EXPECT_EQ(read.length, 5u);
    EXPECT_EQ(read.bytes[0], 'T');
    EXPECT_EQ(read.bytes[1], 'C');
    EXPECT_EQ(read.bytes[2], '0');
    EXPECT_EQ(read.bytes[3], 'P');
    EXPECT_EQ(read.bytes[4], 4);

    const std::uint8_t data[] = {0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
    const SmcKeyRequest write = makeSmcWriteRequest("FS! ", 1, data);
    EXPECT_EQ(write.length, 6u);
    EXPECT_EQ(write.bytes[3], ' ');
    EXPECT_EQ(write.bytes[4], 1);
    EXPECT_EQ(write.bytes[5], 0xAA);
    // A size beyond the SMC's four bytes never reads past them.
    const SmcKeyRequest big = makeSmcWriteRequest("F0Tg", 6, data);
    EXPECT_EQ(big.length, 9u);
    EXPECT_EQ(big.bytes[8], 0xDD);
}

TEST(SmcCodec, TheQuantityAndSizeChooseTheType) {
    struct Case {
        SmcQuantity quantity;
        std::array<std::uint8_t, 4> bytes;
        std::uint8_t size;
        bool ok;
        double value;
    } const cases[] = {
        {SmcQuantity::Speed, {0x1C, 0x20}, 2, true, 1800}, // fpe2
        {SmcQuantity::Speed, {0x1E, 0x79}, 2, true, 1950.25},
        {SmcQuantity::Speed, {0xFF, 0xFF}, 2, true, 16383.75},
        {SmcQuantity::Speed, encodeSmcFloat(2500.0f), 4, true, 2500},
        {SmcQuantity::Speed, {0x1C}, 1, false, 0},
        {SmcQuantity::Temperature, {0x1A, 0x80}, 2, true, 26.5}, // sp78
        {SmcQuantity::Temperature, {0x7F, 0x80}, 2, true, 127.5},
        {SmcQuantity::Temperature, encodeSmcFloat(150.0f), 4, true, 150},
        {SmcQuantity::Temperature, encodeSmcFloat(150.5f), 4, false, 0},
        {SmcQuantity::Temperature, encodeSmcFloat(-49.5f), 4, true, -49.5},
        {SmcQuantity::Temperature, encodeSmcFloat(71.0f), 3, false, 0},
        // Watts have no temperature limit.
        {SmcQuantity::Power, encodeSmcFloat(210.0f), 4, true, 210},
        {SmcQuantity::Power, {0x1B, 0x80}, 2, true, 27.5},
    };
    for (const Case& c : cases) {
        double v = -1;
        EXPECT_EQ(decodeSmcValue(c.quantity, c.bytes.data(), c.size, &v), c.ok) << c.value;
        EXPECT_DOUBLE_EQ(v, c.ok ? c.value : -1) << c.value;
    }
}

TEST(SmcCodec, Fpe2TargetsRoundToAQuarterWithinItsRange) {
    const struct {
        double rpm;
        std::uint8_t high, low;
    } cases[] = {
        {1950, 0x1E, 0x78},     {2080, 0x20, 0x80},  {1800.1, 0x1C, 0x20}, {1800.13, 0x1C, 0x21},
        {16383.75, 0xFF, 0xFF}, {20000, 0xFF, 0xFF}, {-5, 0x00, 0x00},     {0, 0x00, 0x00},
    };
    for (const auto& c : cases)
        EXPECT_EQ(encodeSmcFpe2(c.rpm), (std::array<std::uint8_t, 2>{c.high, c.low})) << c.rpm;
}
