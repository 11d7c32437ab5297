// The preferences file on any text. Writing the values read into the same text and reading again
// must give the same values, and writing again must change nothing. (A carriage return that ends
// no line is dropped, one per rewrite: harmless, so such texts are not held to the second.)
#include "core/app/preferences.h"
#include "fuzz_input.h"

namespace {

bool plainLineEnds(std::string_view text) {
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text = vrn::fuzz::Input(data, size).restText();
    const vrn::Preferences read = vrn::parsePreferences(text);
    vrn::fuzz::require(read.NumOfRecords >= vrn::Preferences::kMinNumOfRecords &&
                           read.NumOfRecords <= vrn::Preferences::kMaxNumOfRecords,
                       "number of records in range");

    const std::string written = vrn::writePreferences(text, read);
    vrn::fuzz::require(vrn::parsePreferences(written) == read, "written values read back");
    if (plainLineEnds(text))
        vrn::fuzz::require(vrn::writePreferences(written, read) == written, "writing again changes nothing");
    return 0;
}
