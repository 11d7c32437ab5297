#include "core/chart/hidden_fields.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "core/app/ini_lines.h"

namespace vrn::chart {
namespace {

// The text's lines without their line ends.
std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
    }
    return lines;
}

// The section's name when the line heads one.
std::optional<std::string_view> sectionOf(std::string_view line) {
    line = trimIni(line);
    if (line.empty() || line.front() != '[') return std::nullopt;
    const size_t close = line.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return trimIni(line.substr(1, close - 1));
}

bool isOurs(std::string_view line) {
    const auto name = sectionOf(line);
    return name && sameIniName(*name, kHiddenFieldsSection);
}

}  // namespace

std::set<std::string> parseHiddenFields(std::string_view iniText) {
    std::set<std::string> hidden;
    bool inside = false;
    for (const std::string_view line : linesOf(iniText)) {
        if (sectionOf(line)) {
            inside = isOurs(line);
            continue;
        }
        const size_t eq = line.find('=');
        if (!inside || eq == std::string_view::npos) continue;
        const std::string_view key = trimIni(line.substr(0, eq));
        const std::string_view label = trimIni(line.substr(eq + 1));
        if (key.size() > std::string_view(kHiddenFieldKey).size() &&
            sameIniName(key.substr(0, std::string_view(kHiddenFieldKey).size()), kHiddenFieldKey) &&
            !label.empty())
            hidden.emplace(label);
    }
    return hidden;
}

std::string writeHiddenFields(std::string_view iniText, const std::set<std::string>& hidden) {
    const std::string_view eol = iniText.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";
    std::string section;
    if (!hidden.empty()) {
        section.append("[").append(kHiddenFieldsSection).append("]").append(eol);
        int n = 0;
        for (const std::string& label : hidden)
            section.append(kHiddenFieldKey)
                .append(" ")
                .append(std::to_string(++n))
                .append("=")
                .append(label)
                .append(eol);
    }
    std::string out;
    bool inside = false;
    bool written = false;
    for (const std::string_view line : linesOf(iniText)) {
        if (sectionOf(line)) {
            inside = isOurs(line);
            if (inside && !written) {
                out.append(section);
                written = true;
            }
            if (inside) continue;
        }
        if (inside) continue;
        out.append(line).append(eol);
    }
    if (!written && !section.empty()) {
        // A blank line before it, as between the other sections.
        if (!out.empty() && !out.ends_with(std::string(eol) + std::string(eol))) out.append(eol);
        out.append(section);
    }
    return out;
}

}  // namespace vrn::chart
