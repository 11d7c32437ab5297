#include "core/app/preferences.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <vector>

#include "core/app/ini_lines.h"

namespace vrn {
namespace {

IniSectionSpan findSection(const std::vector<IniLine>& lines) {
    return findIniSection(lines, Preferences::kSection);
}

std::optional<int32_t> readInteger(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = trimIni(value.substr(1, value.size() - 2));
    if (!value.empty() && value.front() == '+') value.remove_prefix(1);
    if (value.empty() || value.front() == '+') return std::nullopt;
    int32_t result = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), result);
    if (error != std::errc() || end != value.data() + value.size()) return std::nullopt;
    return result;
}

constexpr std::array<const char*, 4> kKeys = {Preferences::kTopKey, Preferences::kLeftKey,
                                              Preferences::kShowRecordsKey, Preferences::kNumOfRecordsKey};

std::array<std::string, 4> valueTexts(const Preferences& prefs) {
    return {std::to_string(prefs.Top), std::to_string(prefs.Left), prefs.ShowRecords ? "1" : "0",
            std::to_string(prefs.NumOfRecords)};
}

}  // namespace

Preferences parsePreferences(std::string_view iniText) {
    const std::vector<IniLine> lines = splitIniLines(iniText);
    const IniSectionSpan section = findSection(lines);
    const auto lookUp = [&](std::string_view key) -> std::optional<int32_t> {
        for (size_t i = section.first; i < section.last; ++i)
            if (lines[i].key && sameIniName(*lines[i].key, key)) return readInteger(lines[i].value);
        return std::nullopt;
    };
    Preferences prefs;
    prefs.Top = lookUp(Preferences::kTopKey).value_or(Preferences::kDefaultTop);
    prefs.Left = lookUp(Preferences::kLeftKey).value_or(Preferences::kDefaultLeft);
    if (const auto show = lookUp(Preferences::kShowRecordsKey)) prefs.ShowRecords = *show != 0;
    prefs.NumOfRecords =
        std::clamp(lookUp(Preferences::kNumOfRecordsKey).value_or(Preferences::kDefaultNumOfRecords),
                   Preferences::kMinNumOfRecords, Preferences::kMaxNumOfRecords);
    return prefs;
}

std::string writePreferences(std::string_view existingText, const Preferences& prefs) {
    const std::string_view eol = existingText.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";
    const std::vector<IniLine> lines = splitIniLines(existingText);
    const auto [found, first, last] = findSection(lines);
    const std::array<std::string, 4> values = valueTexts(prefs);

    // Where each key's line is now, if the section has it (the first one counts, as on reading).
    std::array<size_t, 4> at{};
    at.fill(lines.size());
    for (size_t k = 0; k < kKeys.size(); ++k)
        for (size_t i = first; i < last && at[k] == lines.size(); ++i)
            if (lines[i].key && sameIniName(*lines[i].key, kKeys[k])) at[k] = i;

    // Keys the section lacks go after its last non-blank line.
    size_t insertAfter = first;
    for (size_t i = first; i < last; ++i)
        if (!trimIni(lines[i].raw).empty()) insertAfter = i + 1;

    // An editor's byte order mark stays, so a rewrite changes only our four lines.
    std::string out(existingText.starts_with(kByteOrderMark) ? kByteOrderMark : std::string_view{});
    const auto put = [&](std::string_view line) {
        out.append(line);
        out.append(eol);
    };
    const auto putMissingKeys = [&] {
        for (size_t k = 0; k < kKeys.size(); ++k)
            if (at[k] == lines.size()) put(std::string(kKeys[k]) + "=" + values[k]);
    };
    for (size_t i = 0; i < lines.size(); ++i) {
        if (found && i == insertAfter) putMissingKeys();
        const auto hit = std::find(at.begin(), at.end(), i);
        if (hit == at.end()) {
            put(lines[i].raw);
            continue;
        }
        const auto k = static_cast<size_t>(hit - at.begin());
        put(std::string(kKeys[k]) + "=" + values[k]);
    }
    if (found && insertAfter == lines.size()) putMissingKeys();
    if (!found) {
        if (!lines.empty() && !trimIni(lines.back().raw).empty()) put("");
        put(std::string("[") + Preferences::kSection + "]");
        putMissingKeys();
    }
    return out;
}

}  // namespace vrn
