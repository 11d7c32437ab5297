// Get Records and Erase Records against every fault of the simulated instrument: a failed
// download writes no file and leaves the old one, one cut short writes the complete records that
// came and says so; an erase ends at its time-out at the latest.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/records/record_erase.h"
#include "core/records/record_retrieval.h"
#include "core/setup/setup_model.h"
#include "core/setup/setup_transfer.h"
#include "fault_matrix.h"
#include "memory_file_store.h"

namespace vrn::records {
namespace {

constexpr const char* kPath = "/data/records.txt";
const std::vector<uint8_t> kOldFile = {'o', 'l', 'd', '\r', '\n'};

struct Rig : test::MatrixLink {
    setup::SetupModel model;
    setup::SetupTransfer transfer{ex, model};
    test::MemoryFileStore files;
    RecordRetrieval retrieval{transfer, files};
    RetrievalResult outcome{Outcome::done(), Retrieved{}};

    Rig() {
        files.files[kPath] = kOldFile;
        instrument.state.setup.fieldsPerRecord = 3;
        instrument.state.setup.fields[1] = {"DATE", 1, 8, 0};
    }
    // The file without its second line, the time it was written.
    std::string recordsOf() const {
        const auto& b = files.files.at(kPath);
        std::string text(b.begin(), b.end());
        const size_t first = text.find('\n');
        const size_t second = first == std::string::npos ? first : text.find('\n', first + 1);
        return second == std::string::npos ? text : text.substr(0, first) + text.substr(second);
    }
};

TEST(FaultMatrix, GetRecords) {
    std::string wanted;
    {
        Rig ref;
        RetrievalOptions o;
        o.count = 40;
        o.formatNotice = false;
        o.path = kPath;
        ASSERT_TRUE(ref.retrieval.ButtonGetRecordsClick(o).ok());
        wanted = ref.recordsOf();
    }
    test::Matrix<Rig> m;
    m.transfer = "get records";
    m.boundMs = 10000;
    m.run = [](Rig& r) {
        RetrievalOptions o;
        o.count = 40;
        o.formatNotice = false;
        o.path = kPath;
        o.askBeforeShortSave = false;
        r.outcome = r.retrieval.ButtonGetRecordsClick(o);
        return !r.outcome.ok();
    };
    m.check = [&](Rig& r, bool failed) {
        test::Verdict v;
        if (!failed) {
            if (r.recordsOf() != wanted) v.model = "the file holds other records than the instrument's";
            v.messages = test::expectEnd(r, "FINISHED", {});
            return v;
        }
        const uint32_t arrived = r.outcome->recordsWritten;
        if (keptShort(r.outcome)) {
            // The first records of a full download, as many as came whole, under their own count.
            const size_t labels = wanted.find('\n') + 1;
            size_t end = wanted.find('\n', labels) + 1;
            for (uint32_t k = 0; k < arrived; ++k)
                end = wanted.find('\n', end) + 1;
            const std::string expected =
                std::to_string(arrived) + " RECORDS\r\n" + wanted.substr(labels, end - labels);
            if (arrived == 0 || r.recordsOf() != expected)
                v.model = "the file holds other than the complete records that came";
            v.messages = test::expectEnd(r, "FINISHED", {shortDownloadText(arrived, 40)});
            return v;
        }
        if (r.files.files.size() != 1 || r.files.files.at(kPath) != kOldFile)
            v.file = "a failed download wrote a file";
        // The record format that could not be read, or a download that brought no whole record.
        if (r.outcome.kind() == Outcome::Kind::Failed && r.outcome.reason() == kCommErrorText) {
            if (r.boxTexts() != std::vector<std::string>{kCommErrorText})
                v.messages = "not the one error box";
        } else if (r.outcome.kind() == Outcome::Kind::Failed &&
                   r.outcome.reason() == shortDownloadText(0, 40)) {
            // The line names how many bytes came before the download stopped.
            if (!r.host.lines.back().starts_with("TOTAL BYTES: ") ||
                r.boxTexts() != std::vector<std::string>{kCommErrorText})
                v.messages = test::expectEnd(r, "TOTAL BYTES: n", {kCommErrorText});
        } else {
            v.messages =
                "outcome " + std::to_string(static_cast<int>(r.outcome.kind())) + " " + r.outcome.reason();
        }
        return v;
    };
    auto faults = test::replyFaults({315, 325, 340});
    const std::vector<test::FaultCase> records = {
        {"records stop after 0", [](sim::Faults& f) { f.records.stopAfterBytes = 0; }},
        {"records stop after 200", [](sim::Faults& f) { f.records.stopAfterBytes = 200; }},
        {"records stall 2 s after 100",
         [](sim::Faults& f) {
             f.records.stallAfterBytes = 100;
             f.records.stallUs = 2000000;
         }},
        {"records stall 3 s after 100",
         [](sim::Faults& f) {
             f.records.stallAfterBytes = 100;
             f.records.stallUs = 3000000;
         }},
    };
    faults.insert(faults.end(), records.begin(), records.end());
    const auto link = test::linkFaults(test::replyBytesOf(m), 61);
    faults.insert(faults.end(), link.begin(), link.end());
    test::markLimit(faults, "flip byte", "record values and formats carry no check");
    test::markLimit(faults, "CMD340 stray", "the record bytes carry no check and their reply no length");
    test::markLimit(faults, "CMD325 stray",
                    "the record format block carries no check and its reply no length");
    test::runMatrix(m, faults);
}

struct EraseRig : test::MatrixLink {
    RecordErase erase{ex};
};

TEST(FaultMatrix, EraseRecords) {
    test::Matrix<EraseRig> m;
    m.transfer = "erase records";
    m.boundMs = 10000;
    m.run = [](EraseRig& r) {
        r.host.setNextAnswer(MsgResult::Yes);
        return !r.erase.EraseRecords1Click().ok();
    };
    m.check = [](EraseRig& r, bool failed) {
        test::Verdict v;
        if (failed) {
            v.messages = test::expectEnd(r, "ERASE RECORDS FAILED. TIMEOUT ERROR. RECORDS MAY NOT BE ERASED.",
                                         {RecordErase::kQuestion});
        } else {
            if (r.instrument.state.records.logged != 0)
                v.model = "erased, says the PC, but the records are there";
            v.messages = test::expectEnd(r, "ALL RECORDS ERASED.", {RecordErase::kQuestion});
        }
        return v;
    };
    auto faults = test::replyFaults({345});
    faults.emplace_back("stray text among the progress",
                        [](sim::Faults& f) { f.records.eraseStray = "x?\x15"; });
    const auto link = test::linkFaults(test::replyBytesOf(m), 41);
    faults.insert(faults.end(), link.begin(), link.end());
    test::runMatrix(m, faults);
}

}  // namespace
}  // namespace vrn::records
