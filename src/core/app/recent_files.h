#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vrn {

// The files and groups last opened or saved, newest first, kept in the preferences file in a
// section of their own as File1=... to File8=....
struct RecentFiles {
    static constexpr size_t kMax = 8;
    static constexpr const char* kSection = "Recent Files";

    std::vector<std::string> paths;

    // Puts the path first, dropping an earlier mention of it; the oldest beyond eight go.
    void add(const std::string& path);
    void remove(const std::string& path);

    static RecentFiles fromIni(std::string_view text);
    std::string toIni(std::string_view existingText) const;
};

}  // namespace vrn
