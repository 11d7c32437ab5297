#include "cli/record_arguments.h"

#include <charconv>

#include "core/app/preferences.h"

namespace vrn::cli {

bool parseCount(const std::string& text, uint32_t& count) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, count);
    return ec == std::errc() && ptr == end && count >= Preferences::kMinNumOfRecords &&
           count <= static_cast<uint32_t>(Preferences::kMaxNumOfRecords);
}

bool parseDelimiter(const std::string& name, char& delimiter) {
    if (name == "space")
        delimiter = ' ';
    else if (name == "comma")
        delimiter = ',';
    else if (name == "tab")
        delimiter = '\t';
    else
        return false;
    return true;
}

}  // namespace vrn::cli
