#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace vrn {

// One line of an INI text, as far as the format gives it a meaning.
struct IniLine {
    std::string_view raw;  // without its line end
    std::optional<std::string_view> section;
    std::optional<std::string_view> key;
    std::string_view value;
};

// The lines of an INI text (a leading UTF-8 byte order mark is not part of the first line). The
// views point into text.
std::vector<IniLine> splitIniLines(std::string_view text);

// The body lines [first, last) of the first section of that name (names compare without case).
struct IniSectionSpan {
    bool found = false;
    size_t first = 0;
    size_t last = 0;
};
IniSectionSpan findIniSection(const std::vector<IniLine>& lines, std::string_view section);

std::string_view trimIni(std::string_view s);
// INI names compare without regard to ASCII letter case.
bool sameIniName(std::string_view a, std::string_view b);

inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace vrn
