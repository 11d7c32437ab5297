// The record writer's own number formatting against one snprintf per value, byte for byte, over
// random bit patterns (every class of float) and the values where rounding and signs go wrong.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "core/records/record_text.h"
#include "core/records/value_format.h"

namespace vrn::records {
namespace {

// What one snprintf per value prints for the field.
std::string reference(float v, const setup::RecordField& f) {
    char text[128];
    if (std::isnan(v) || std::isinf(v)) return kMissingValue;
    if (f.type == 0) {
        std::snprintf(text, sizeof text, "%0*.*f", f.width, f.precision, static_cast<double>(v));
        return text;
    }
    const double d = v;
    const uint32_t u =
        d > -2147483649.0 && d < 2147483648.0 ? static_cast<uint32_t>(static_cast<int32_t>(d)) : 0x80000000u;
    if (f.type == 1)
        std::snprintf(text, sizeof text, "%02u/%02u/%04u", u % 10000 / 100, u % 100, u / 10000 + 2000);
    else
        std::snprintf(text, sizeof text, "%02u:%02u:%02u", u / 10000, u % 10000 / 100, u % 100);
    return text;
}

setup::RecordField field(int type, int width, int precision) {
    setup::RecordField f;
    f.type = type;
    f.width = width;
    f.precision = precision;
    return f;
}

TEST(RecordFormatSameness, EdgeValuesAtEveryWidthAndPrecision) {
    constexpr float kInf = std::numeric_limits<float>::infinity();
    const std::vector<float> edges = {0.5f,           1.5f,
                                      2.5f,           -0.5f,
                                      -2.5f,          0.25f,
                                      0.125f,         0.0625f,
                                      -0.0f,          0.0f,
                                      -0.04f,         std::nanf(""),
                                      -std::nanf(""), kInf,
                                      -kInf,          1.0e-45f,
                                      -1.0e-45f,      1.17549435e-38f,
                                      3.40282347e38f, -3.40282347e38f,
                                      16777216.0f,    16777217.0f,
                                      2147483520.0f,  2147483648.0f,
                                      -2147483648.0f, 4294967296.0f,
                                      991231.0f,      235959.0f,
                                      999999.5f,      0.05f,
                                      0.005f,         9.995f,
                                      99.95f,         1.0e-10f,
                                      123456789.0f};
    for (float v : edges)
        for (int type = 0; type <= 2; ++type)
            for (int width = 0; width <= 12; ++width)
                for (int precision = 0; precision <= 9; ++precision) {
                    const setup::RecordField f = field(type, width, precision);
                    ASSERT_EQ(formatValue(v, f), reference(v, f))
                        << v << " type " << type << " width " << width << " precision " << precision;
                }
}

TEST(RecordFormatSameness, RandomBitPatternsThroughTheFileWriter) {
    std::mt19937 random(17);
    std::uniform_int_distribution<uint32_t> bits;
    std::uniform_int_distribution<int> type(0, 2), width(0, 12), precision(0, 9);
    // Records of 25 fields with random formats, as the file writer lays them out.
    constexpr size_t kRecords = 8000, kFields = 25;
    std::vector<setup::RecordField> fields(kFields);
    std::vector<uint8_t> bytes;
    for (int round = 0; round < 2; ++round) {
        for (auto& f : fields)
            f = field(type(random), width(random), precision(random));
        bytes.clear();
        std::string expected;
        for (size_t r = 0; r < kRecords; ++r)
            for (size_t k = 0; k < kFields; ++k) {
                // Half the values small and plausible, half any float at all.
                uint32_t b = bits(random);
                if (b & 1)
                    b = std::bit_cast<uint32_t>(static_cast<float>(static_cast<int32_t>(b) % 2000000) /
                                                64.0f);
                for (int s = 0; s < 32; s += 8)
                    bytes.push_back(static_cast<uint8_t>(b >> s));
                if (k > 0) expected += ',';
                expected += reference(std::bit_cast<float>(b), fields[k]);
                if (k + 1 == kFields) expected += "\r\n";
            }
        const RecordBlock block(fields, bytes);
        std::string written;
        appendRecordLines(written, block, 0, block.recordCount(), ',');
        ASSERT_EQ(written.size(), expected.size()) << "round " << round;
        EXPECT_TRUE(written == expected) << "round " << round;
    }
}

}  // namespace
}  // namespace vrn::records
