#pragma once

#include <cstdint>
#include <string>

namespace vrn::cli {

// A record count as the Get Records page takes it (1 to 999999999); false when it is not one.
bool parseCount(const std::string& text, uint32_t& count);

// "space", "comma" or "tab", the record file's field delimiters; false for anything else.
bool parseDelimiter(const std::string& name, char& delimiter);

}  // namespace vrn::cli
