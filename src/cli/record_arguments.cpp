#include "cli/record_arguments.h"

#include <charconv>

#include "cli/cli.h"
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

int retrievalExitStatus(records::RetrievalOutcome outcome) {
    switch (outcome) {
    case records::RetrievalOutcome::Finished:
        return kExitOk;
    case records::RetrievalOutcome::Short:
        return kExitShortDownload;
    case records::RetrievalOutcome::TooMany:
    case records::RetrievalOutcome::FileFailed:
    case records::RetrievalOutcome::Cancelled:
        return kExitUsage;
    case records::RetrievalOutcome::PortClosed:
    case records::RetrievalOutcome::FormatFailed:
    case records::RetrievalOutcome::NoMemory:
    case records::RetrievalOutcome::TimedOut:
        break;
    }
    return kExitFailed;
}

}  // namespace vrn::cli
