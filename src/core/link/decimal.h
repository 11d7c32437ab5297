#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vrn {

// Reads a decimal integer the way the instrument's replies are read: leading white space
// skipped, an optional sign, then digits up to the first other character; no digits give 0.
// Starts at pos (past the end gives 0); a value beyond the 32-bit range is clamped to it.
int32_t readDecimal(std::string_view text, size_t pos = 0);

}  // namespace vrn
