#include "core/app/ini_section.h"

#include "core/app/ini_lines.h"

namespace vrn {
bool iniStorable(std::string_view text) {
    return text.find_first_of("\r\n") == std::string_view::npos && trimIni(text) == text;
}

IniEntries readIniSection(std::string_view text, std::string_view section) {
    const std::vector<IniLine> lines = splitIniLines(text);
    const IniSectionSpan span = findIniSection(lines, section);
    IniEntries entries;
    for (size_t i = span.first; i < span.last; ++i)
        if (lines[i].key) entries.emplace_back(std::string(*lines[i].key), std::string(lines[i].value));
    return entries;
}

std::string writeIniSection(std::string_view text, std::string_view section, const IniEntries& entries) {
    const std::string_view eol = text.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";
    const std::vector<IniLine> lines = splitIniLines(text);
    const IniSectionSpan span = findIniSection(lines, section);

    std::string out(text.starts_with(kByteOrderMark) ? kByteOrderMark : std::string_view{});
    const auto put = [&](std::string_view line) {
        out.append(line);
        out.append(eol);
    };
    const auto putEntry = [&](std::string_view key, std::string_view value) {
        out.append(key);
        out.push_back('=');
        out.append(value);
        out.append(eol);
    };
    const auto putEntries = [&] {
        for (const auto& [key, value] : entries)
            if (!key.empty() && key.find('=') == std::string::npos && iniStorable(key) && iniStorable(value))
                putEntry(key, value);
    };
    for (size_t i = 0; i < lines.size(); ++i) {
        if (span.found && i == span.first) putEntries();
        // The section's old body goes, blank lines and comments before the next section kept.
        if (span.found && i >= span.first && i < span.last && lines[i].key) continue;
        put(lines[i].raw);
    }
    if (span.found && span.first == lines.size()) putEntries();
    if (!span.found && !entries.empty()) {
        if (!lines.empty() && !trimIni(lines.back().raw).empty()) put("");
        out.push_back('[');
        out.append(section);
        put("]");
        putEntries();
    }
    return out;
}

}  // namespace vrn
