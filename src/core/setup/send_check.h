#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/setup/setup_model.h"

namespace vrn::setup {

struct DateValue {
    unsigned month, day, year;  // year 2000..2099
};
struct TimeValue {
    unsigned hour, minute, second;
};

// A date box text "MM-DD-YYYY" holding a real calendar date in 2000..2099; none otherwise.
std::optional<DateValue> parseDateText(std::string_view text);
// A time box text "HH:MM:SS" holding a real time of day; none otherwise.
std::optional<TimeValue> parseTimeText(std::string_view text);

// The text of the box that refuses a Send, or none when every value can go to the instrument:
// the date and time must be real and in the instrument's century, every list must have a
// selection (a setup file can leave one empty).
std::optional<std::string> checkSetupForSend(const SetupModel& model);

}  // namespace vrn::setup
