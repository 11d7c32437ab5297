#pragma once

#include <string>

#include "core/setup/setup_model.h"

namespace vrn::records {

// What a missing reading (NaN or infinity) is written as, whatever the field's type.
inline constexpr const char* kMissingValue = "-99999";

// Appends one recorded value as its field's type shows it: a Number "%0*.*f" with the field's
// Width and Precision, a Date from YYMMDD as MM/DD/YYYY, a Time from HHMMSS as HH:MM:SS, nothing for
// a field without a type. The file and the display share it.
void appendValue(std::string& out, float value, const setup::RecordField& field);

// The same as a string of its own.
std::string formatValue(float value, const setup::RecordField& field);

}  // namespace vrn::records
