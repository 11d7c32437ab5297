#include "core/records/value_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace vrn::records {
namespace {

// A precision beyond what the field's spin box allows could only come from a damaged model; the
// buffers below are sized for this one.
constexpr int kMaxPrecision = 9;

// Digits of an unsigned number with leading zeros up to minDigits, as "%0Ni" prints it.
void appendPadded(std::string& out, uint32_t value, int minDigits) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    const int n = static_cast<int>(end - digits);
    if (n < minDigits) out.append(static_cast<size_t>(minDigits - n), '0');
    out.append(digits, end);
}

// The value truncated toward zero and taken as an unsigned 32-bit number. Outside the range of a
// 32-bit integer the conversion gives the processor's "indefinite" integer, 0x80000000, instead of
// undefined behaviour.
uint32_t wholeNumber(float value) {
    constexpr double kLimit = 2147483648.0;
    const double v = value;
    if (!(v > -kLimit - 1.0 && v < kLimit)) return 0x80000000u;
    return static_cast<uint32_t>(static_cast<int32_t>(v));
}

void appendNumber(std::string& out, float value, int width, int precision) {
    precision = std::clamp(precision, 0, kMaxPrecision);
    // A float's widest fixed form: sign, 39 integer digits, point, precision digits.
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, static_cast<double>(value),
                                      std::chars_format::fixed, precision);
    const char* digits = text;
    const int length = static_cast<int>(result.ptr - text);
    if (text[0] == '-') {
        out.push_back('-');
        ++digits;
    }
    if (length < width) out.append(static_cast<size_t>(width - length), '0');
    out.append(digits, static_cast<size_t>(result.ptr - digits));
}

}  // namespace

void appendValue(std::string& out, float value, const setup::RecordField& field) {
    if (!field.hasValidType()) return;
    if (std::isnan(value) || std::isinf(value)) {
        out += kMissingValue;
        return;
    }
    switch (static_cast<setup::FieldType>(field.type)) {
    case setup::FieldType::Number:
        appendNumber(out, value, field.width, field.precision);
        return;
    case setup::FieldType::Date: {
        const uint32_t v = wholeNumber(value);
        appendPadded(out, (v % 10000) / 100, 2);
        out.push_back('/');
        appendPadded(out, v % 100, 2);
        out.push_back('/');
        appendPadded(out, v / 10000 + 2000, 4);
        return;
    }
    case setup::FieldType::Time: {
        const uint32_t v = wholeNumber(value);
        appendPadded(out, v / 10000, 2);
        out.push_back(':');
        appendPadded(out, (v % 10000) / 100, 2);
        out.push_back(':');
        appendPadded(out, v % 100, 2);
        return;
    }
    }
}

std::string formatValue(float value, const setup::RecordField& field) {
    std::string out;
    appendValue(out, value, field);
    return out;
}

}  // namespace vrn::records
