#include "core/program/param_input.h"

#include <charconv>
#include <string>

#include "core/link/decimal.h"

namespace vrn {

namespace {

bool isDigit(char32_t c) {
    return c >= '0' && c <= '9';
}

int hexDigit(char32_t c) {
    if (isDigit(c)) return static_cast<int>(c - '0');
    if (c >= 'A' && c <= 'F') return static_cast<int>(c - 'A' + 10);
    if (c >= 'a' && c <= 'f') return static_cast<int>(c - 'a' + 10);
    return -1;
}

}  // namespace

bool keyPasses(EditBoxKind kind, char32_t key) {
    if (key == kEnterKey) return false;
    if (key == kBackspaceKey) return true;
    switch (kind) {
    case EditBoxKind::Integer:
        return isDigit(key);
    case EditBoxKind::Decimal:
        return isDigit(key) || key == '-' || key == '.';
    case EditBoxKind::Hex:
        return hexDigit(key) >= 0;
    case EditBoxKind::Text:
        return true;
    }
    return false;
}

int32_t readIntegerInput(std::string_view input) {
    return readDecimal(input);
}

float readDecimalInput(std::string_view input) {
    size_t end = 0;
    if (end < input.size() && input[end] == '-') ++end;
    size_t digits = 0;
    while (end < input.size() && isDigit(static_cast<unsigned char>(input[end]))) {
        ++end;
        ++digits;
    }
    if (end < input.size() && input[end] == '.') {
        size_t afterPoint = end + 1;
        size_t fraction = 0;
        while (afterPoint < input.size() && isDigit(static_cast<unsigned char>(input[afterPoint]))) {
            ++afterPoint;
            ++fraction;
        }
        if (digits + fraction > 0) {
            end = afterPoint;
            digits += fraction;
        }
    }
    if (digits == 0) return 0.0f;
    // from_chars takes no leading minus sign with a bare fraction ("-.5"), so the sign is kept apart.
    const bool negative = input[0] == '-';
    std::string number(input.substr(negative ? 1 : 0, end - (negative ? 1 : 0)));
    if (number.front() == '.') number.insert(number.begin(), '0');
    float value = 0.0f;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) return 0.0f;
    return negative ? -value : value;
}

uint16_t readHexInput(std::string_view input) {
    uint16_t value = 0;
    for (char c : input) {
        const int digit = hexDigit(static_cast<unsigned char>(c));
        if (digit < 0) break;
        value = static_cast<uint16_t>(value * 16 + digit);
    }
    return value;
}

}  // namespace vrn
