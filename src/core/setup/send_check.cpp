#include "core/setup/send_check.h"

#include <cstdio>

namespace vrn::setup {
namespace {

constexpr const char* kRefused = "Cannot Send Setup.\n";

// The number in the digit places [at, at + n), or none if any of them is not a digit.
std::optional<unsigned> digits(std::string_view text, size_t at, size_t n) {
    unsigned v = 0;
    for (size_t i = at; i < at + n; ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        v = v * 10 + static_cast<unsigned>(text[i] - '0');
    }
    return v;
}

unsigned daysInMonth(unsigned month, unsigned year) {
    static constexpr unsigned kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

bool blank(std::string_view text) {
    for (char c : text)
        if (c >= '0' && c <= '9') return false;
    return true;
}

// Built by appending: GCC 12 at -O2 warns falsely (-Wrestrict) on "\"" + std::string.
std::string inQuotes(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    out.push_back('"');
    out.append(text);
    out.push_back('"');
    return out;
}

}  // namespace

std::optional<DateValue> parseDateText(std::string_view t) {
    if (t.size() != 10 || t[2] != '-' || t[5] != '-') return std::nullopt;
    const auto month = digits(t, 0, 2), day = digits(t, 3, 2), year = digits(t, 6, 4);
    if (!month || !day || !year) return std::nullopt;
    if (*year < 2000 || *year > 2099 || *month < 1 || *month > 12) return std::nullopt;
    if (*day < 1 || *day > daysInMonth(*month, *year)) return std::nullopt;
    return DateValue{*month, *day, *year};
}

std::optional<TimeValue> parseTimeText(std::string_view t) {
    if (t.size() != 8 || t[2] != ':' || t[5] != ':') return std::nullopt;
    const auto hour = digits(t, 0, 2), minute = digits(t, 3, 2), second = digits(t, 6, 2);
    if (!hour || !minute || !second || *hour > 23 || *minute > 59 || *second > 59) return std::nullopt;
    return TimeValue{*hour, *minute, *second};
}

std::optional<std::string> checkSetupForSend(const SetupModel& m) {
    if (!parseDateText(m.date())) {
        const std::string what = blank(m.date()) ? "The date box is empty."
                                                 : "The date " + inQuotes(m.date()) + " is not a real date.";
        return kRefused + what + "\nEnter a date from 01-01-2000 to 12-31-2099 as MM-DD-YYYY.";
    }
    if (!parseTimeText(m.time())) {
        const std::string what = blank(m.time()) ? "The time box is empty."
                                                 : "The time " + inQuotes(m.time()) + " is not a real time.";
        return kRefused + what + "\nEnter a time from 00:00:00 to 23:59:59 as HH:MM:SS.";
    }
    if (m.com1Type() < 0) return std::string(kRefused) + "No COM1 type is selected.";
    if (m.com1Baud() < 0) return std::string(kRefused) + "No COM1 baud rate is selected.";
    if (m.com2Baud() < 0) return std::string(kRefused) + "No COM2 baud rate is selected.";
    for (int i = 0; i < kFieldCount; ++i) {
        if (m.field(i).hasValidType()) continue;
        char line[64];
        std::snprintf(line, sizeof line, "Field %02d has no type.\nChoose Number, Date or Time.", i + 1);
        return kRefused + std::string(line);
    }
    return std::nullopt;
}

}  // namespace vrn::setup
