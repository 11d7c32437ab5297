// A program file as it comes from disk: any bytes. Reading never goes outside the input, and what
// was read, saved again, reads back to the same file.
#include <vector>

#include "core/program/program_file.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vrn::ProgramModel first;
    const auto error = vrn::readProgramFile({data, size}, first);
    vrn::fuzz::require(
        !error || error->starts_with("Invalid level (") || error->starts_with("Not a program file"),
        "only a short file and the level error are reported");
    vrn::fuzz::require(
        !error || !error->starts_with("Not a program file") || size < vrn::ProgramStore::kImageSize,
        "a whole image is never called short");

    const std::vector<uint8_t> saved = vrn::writeProgramFile(first);
    vrn::ProgramModel second;
    vrn::fuzz::require(!vrn::readProgramFile(saved, second), "a saved file reads without error");
    vrn::fuzz::require(vrn::writeProgramFile(second) == saved, "a saved file reads back the same");
    return 0;
}
