#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vrn::text {

// Windows-1252, the single-byte text of the instrument's wire and of the program's files.
// Text in memory is UTF-8; these convert at those boundaries.

// Every byte maps to one character; the five bytes the code page leaves undefined map to the
// C1 control of the same value, so any byte string survives a round trip.
std::string cp1252ToUtf8(std::span<const uint8_t> bytes);
std::string cp1252ToUtf8(std::string_view bytes);

// One byte per character; a character the code page lacks becomes '?'.
std::string utf8ToCp1252(std::string_view utf8);

}  // namespace vrn::text
