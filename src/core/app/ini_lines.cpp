#include "core/app/ini_lines.h"

#include <algorithm>

namespace vrn {

std::string_view trimIni(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool sameIniName(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

std::vector<IniLine> splitIniLines(std::string_view text) {
    // A UTF-8 byte order mark written by an editor is not part of the first line.
    if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
    std::vector<IniLine> lines;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view raw = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
        IniLine line{raw, {}, {}, {}};
        const std::string_view body = trimIni(raw);
        if (!body.empty() && body.front() == '[') {
            const size_t close = body.find(']');
            if (close != std::string_view::npos) line.section = trimIni(body.substr(1, close - 1));
        } else if (!body.empty() && body.front() != ';' && body.front() != '#') {
            const size_t eq = body.find('=');
            if (eq != std::string_view::npos) {
                line.key = trimIni(body.substr(0, eq));
                line.value = trimIni(body.substr(eq + 1));
            }
        }
        lines.push_back(line);
    }
    return lines;
}

IniSectionSpan findIniSection(const std::vector<IniLine>& lines, std::string_view section) {
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!lines[i].section || !sameIniName(*lines[i].section, section)) continue;
        size_t end = i + 1;
        while (end < lines.size() && !lines[end].section)
            ++end;
        return {true, i + 1, end};
    }
    return {};
}

}  // namespace vrn
