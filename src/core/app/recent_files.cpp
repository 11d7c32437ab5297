#include "core/app/recent_files.h"

#include <algorithm>

#include "core/app/ini_section.h"

namespace vrn {

void RecentFiles::add(const std::string& path) {
    remove(path);
    paths.insert(paths.begin(), path);
    if (paths.size() > kMax) paths.resize(kMax);
}

void RecentFiles::remove(const std::string& path) {
    paths.erase(std::remove(paths.begin(), paths.end(), path), paths.end());
}

// Keys File1 to File8 in their order; others, empty values and repeats are ignored.
RecentFiles RecentFiles::fromIni(std::string_view text) {
    RecentFiles recent;
    const IniEntries entries = readIniSection(text, kSection);
    for (size_t n = 1; n <= kMax; ++n) {
        const std::string key = "File" + std::to_string(n);
        for (const auto& [k, value] : entries)
            if (k == key && !value.empty() &&
                std::find(recent.paths.begin(), recent.paths.end(), value) == recent.paths.end()) {
                recent.paths.push_back(value);
                break;
            }
    }
    return recent;
}

std::string RecentFiles::toIni(std::string_view existingText) const {
    IniEntries entries;
    for (const std::string& path : paths)
        if (iniStorable(path) && entries.size() < kMax)
            entries.emplace_back("File" + std::to_string(entries.size() + 1), path);
    return writeIniSection(existingText, kSection, entries);
}

}  // namespace vrn
