#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vrn {

// The utility's own settings kept between runs: the main window's position and the two options
// of the Get Records page. Nothing of the instrument's configuration lives here.
struct Preferences {
    static constexpr const char* kSection = "41700 Setup";
    static constexpr const char* kTopKey = "Top";
    static constexpr const char* kLeftKey = "Left";
    static constexpr const char* kShowRecordsKey = "Show Records";
    static constexpr const char* kNumOfRecordsKey = "Num of Records";

    static constexpr int32_t kDefaultTop = 100;
    static constexpr int32_t kDefaultLeft = 100;
    static constexpr bool kDefaultShowRecords = false;
    static constexpr int32_t kDefaultNumOfRecords = 100;
    // The range of the number-of-records spin box.
    static constexpr int32_t kMinNumOfRecords = 1;
    static constexpr int32_t kMaxNumOfRecords = 999999999;

    int32_t Top = kDefaultTop;
    int32_t Left = kDefaultLeft;
    bool ShowRecords = kDefaultShowRecords;
    int32_t NumOfRecords = kDefaultNumOfRecords;

    bool operator==(const Preferences&) const = default;
};

// Reads the four values from the text of an INI file. A missing section or key, or a value that
// is not a decimal integer, gives that key's default; "Num of Records" is brought into its range.
Preferences parsePreferences(std::string_view iniText);

// The INI text with the four values written into section "41700 Setup". Every other section, key
// and comment of existingText is kept as it was; an empty existingText gives a new file.
std::string writePreferences(std::string_view existingText, const Preferences& prefs);

}  // namespace vrn
