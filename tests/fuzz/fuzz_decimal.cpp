// The decimal reader of the instrument's query replies, against a plain second reading of the
// same text: any difference (sign, clamping, where the digits stop) aborts.
#include <algorithm>
#include <cstdlib>
#include <limits>
#include <string>

#include "core/link/decimal.h"
#include "fuzz_input.h"

namespace {

int64_t expectedValue(std::string_view text, size_t pos) {
    while (pos < text.size() && (text[pos] == ' ' || (text[pos] >= '\t' && text[pos] <= '\r')))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) negative = text[pos++] == '-';
    std::string digits;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        if (!digits.empty() || text[pos] != '0') digits.push_back(text[pos]);
        ++pos;
    }
    const int64_t magnitude =
        digits.size() > 10 ? int64_t{1} << 40 : (digits.empty() ? 0 : std::stoll(digits));
    const int64_t value = negative ? -magnitude : magnitude;
    return std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                               std::numeric_limits<int32_t>::max());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vrn::fuzz::Input input(data, size);
    const size_t pos = input.byte() % 16;
    const std::string_view text = input.restText();
    vrn::fuzz::require(vrn::readDecimal(text, pos) == expectedValue(text, pos),
                       "reads like the plain reading");
    return 0;
}
