// Get Records and Erase Records against an instrument whose every reply is fuzz bytes: the fields
// per record, the 800-byte record format block, the record bytes, the erase's progress. Whatever
// arrives, each ends; a download that did not finish writes no file, and one that did writes the
// record file for the format it read.
#include <string>

#include "../support/memory_file_store.h"
#include "core/records/record_erase.h"
#include "core/records/record_retrieval.h"
#include "core/setup/setup_model.h"
#include "core/setup/setup_transfer.h"
#include "fuzz_input.h"
#include "fuzz_link.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vrn::records;
    using vrn::fuzz::require;
    vrn::fuzz::Input input(data, size);
    const uint8_t choice = input.byte();
    vrn::fuzz::ReplayLink link(input.rest());
    if (choice % 4 == 3) {
        link.host.answer = vrn::MsgResult::Yes;
        const int64_t start = link.host.clock_.nowMs();
        const vrn::Outcome outcome = RecordErase(link.exchange).EraseRecords1Click();
        require(
            outcome.kind() != vrn::Outcome::Kind::Refused && outcome.kind() != vrn::Outcome::Kind::Aborted,
            "an erase that was asked runs");
        require(outcome.ok() || link.host.clock_.nowMs() - start >= 2000,
                "an erase gives up only after its time-out");
        return 0;
    }
    vrn::setup::SetupModel model;
    vrn::setup::SetupTransfer transfer(link.exchange, model);
    vrn::test::MemoryFileStore files;
    RecordRetrieval retrieval(transfer, files);
    RetrievalOptions options;
    options.count = 1 + choice % 4 * 7;
    options.formatNotice = false;
    options.path = "/records.txt";
    options.askBeforeShortSave = choice % 8 < 4;
    const RetrievalResult result = retrieval.ButtonGetRecordsClick(options);
    const auto recordBytes = static_cast<uint32_t>(model.fieldsPerRecord()) * 4;
    if (keptShort(result)) {
        require(files.files.size() == 1, "a short download writes the records that came");
        const auto& file = files.files.begin()->second;
        const std::string text(file.begin(), file.end());
        require(result->recordsWritten > 0 && result->recordsWritten < options.count,
                "a short download kept some, not all");
        require(text.starts_with(std::to_string(result->recordsWritten) + " RECORDS\r\n"),
                "the file counts the records it holds");
        require(result->totalBytes / recordBytes == result->recordsWritten, "only whole records are kept");
        return 0;
    }
    if (!result.ok()) {
        require(files.files.empty(), "a download that did not finish writes no file");
        return 0;
    }
    require(files.files.size() == 1, "a finished download writes its file");
    const auto& file = files.files.begin()->second;
    const std::string text(file.begin(), file.end());
    require(text.starts_with(std::to_string(options.count) + " RECORDS\r\n"),
            "the file starts with its count");
    require(result->totalBytes == options.count * recordBytes, "every record byte came");
    return 0;
}
