// The firmware file reader: any bytes are either refused or split into records that are each a
// valid S-record short enough to send, S0 first and S9 last, ending in increasing file offsets;
// and the records written out one a line read back the same.
#include <string>

#include "core/service/srecord_file.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vrn::service;
    using vrn::fuzz::require;
    FirmwareImage image;
    const FirmwareFileCheck check = readFirmwareFile({data, size}, image);
    require(check.problem != FirmwareFileProblem::None || !image.records.empty(), "accepted without records");
    if (check.problem != FirmwareFileProblem::None) {
        require(image.records.empty(), "a refused file left records");
        require(!firmwareFileMessage(check).empty(), "a refusal without a message");
        return 0;
    }
    require(image.records.size() >= 2 && image.records.front().starts_with("S0") &&
                image.records.back().starts_with("S9"),
            "S0 first and S9 last");
    require(image.endOffsets.size() == image.records.size(), "an offset per record");
    size_t last = 0;
    std::string again;
    for (size_t i = 0; i < image.records.size(); ++i) {
        require(srecordValid(image.records[i]), "an invalid record accepted");
        require(image.records[i].size() <= kMaxRecordLength, "a record too long accepted");
        require(image.endOffsets[i] > last && image.endOffsets[i] <= size,
                "offsets increase within the file");
        last = image.endOffsets[i];
        const int percent = firmwareProgress(image.endOffsets[i], size);
        require(percent >= 0 && percent <= 100, "progress in 0..100");
        again += image.records[i] + "\n";
    }
    FirmwareImage reread;
    const auto bytes = reinterpret_cast<const uint8_t*>(again.data());
    require(readFirmwareFile({bytes, again.size()}, reread).problem == FirmwareFileProblem::None &&
                reread.records == image.records,
            "the records read back the same");
    return 0;
}
