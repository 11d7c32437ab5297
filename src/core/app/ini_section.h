#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vrn {

using IniEntries = std::vector<std::pair<std::string, std::string>>;

// Whether a key or value reads back as written: no line end, no leading or trailing blank.
bool iniStorable(std::string_view text);

// The key=value lines of one section of an INI text, in file order; empty when it is missing.
IniEntries readIniSection(std::string_view text, std::string_view section);

// The text with the body of the section replaced by the entries; every other section, key and
// comment stays as it was. A missing section is added at the end, unless there are no entries.
// An entry whose key or value could not be read back as written (a line end, a leading or
// trailing blank, an "=" in the key) is left out.
std::string writeIniSection(std::string_view text, std::string_view section, const IniEntries& entries);

}  // namespace vrn
