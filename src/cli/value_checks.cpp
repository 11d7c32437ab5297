#include "cli/value_checks.h"

#include <charconv>

#include "cli/record_arguments.h"
#include "core/records/record_keys.h"

namespace vrn::cli {
namespace {

// A check from a test of the value and what the value should have been.
CLI::Validator check(bool (*valid)(const std::string&), std::string expected) {
    return CLI::Validator(
        [valid, expected](std::string& value) {
            return valid(value) ? std::string() : "takes " + expected + ", not: " + value;
        },
        "");
}

bool digits(std::string_view text) {
    return text.find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace

CLI::Validator oneOf(std::vector<std::string> names) {
    std::string expected;
    for (size_t k = 0; k < names.size(); ++k)
        expected += (k == 0 ? "" : k + 1 == names.size() ? " or " : ", ") + names[k];
    return CLI::Validator(
        [names, expected](std::string& value) {
            for (const std::string& n : names)
                if (value == n) return std::string();
            return "takes " + expected + ", not: " + value;
        },
        "");
}

CLI::Validator wholeNumber(int lo, int hi) {
    const std::string expected = "a whole number from " + std::to_string(lo) + " to " + std::to_string(hi);
    return CLI::Validator(
        [lo, hi, expected](std::string& value) {
            int n = 0;
            const char* end = value.data() + value.size();
            const auto [ptr, ec] = std::from_chars(value.data(), end, n);
            if (ec == std::errc() && ptr == end && n >= lo && n <= hi) return std::string();
            return "takes " + expected + ", not: " + value;
        },
        "");
}

CLI::Validator recordCount() {
    return check(
        [](const std::string& v) {
            uint32_t count = 0;
            return v == "all" || parseCount(v, count);
        },
        "all or a whole number from 1 to 999999999");
}

CLI::Validator utcOffset() {
    return check([](const std::string& v) { return records::parseUtcOffset(v).has_value(); },
                 "+HH:MM or -HH:MM (up to 14 hours)");
}

CLI::Validator utcTime() {
    return check([](const std::string& v) { return records::parseUtcTime(v, false).has_value(); },
                 "a UTC time as YYYY-MM-DD, YYYY-MM-DD HH:MM or YYYY-MM-DD HH:MM:SS");
}

// As the reference box takes it: up to four digits, then optionally a point and one or two.
CLI::Validator millivolts() {
    return check(
        [](const std::string& v) {
            const size_t point = v.find('.');
            const std::string_view text(v);
            const std::string_view whole = text.substr(0, point);
            if (whole.empty() || whole.size() > 4 || !digits(whole)) return false;
            if (point == std::string_view::npos) return true;
            const std::string_view frac = text.substr(point + 1);
            return !frac.empty() && frac.size() <= 2 && digits(frac);
        },
        "millivolts as 0000.00 to 9999.99");
}

CLI::Validator notEmpty() {
    return check([](const std::string& v) { return !v.empty(); }, "a value that is not empty");
}

}  // namespace vrn::cli
