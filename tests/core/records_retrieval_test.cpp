#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "core/link/timer1.h"
#include "core/records/record_keys.h"
#include "core/records/record_retrieval.h"
#include "core/records/record_text.h"
#include "core/setup/setup_model.h"
#include "core/setup/setup_transfer.h"
#include "memory_file_store.h"
#include "sim/setup_clock.h"
#include "sim/station.h"
#include "sim_link.h"

namespace vrn::records {
namespace {

using Lines = std::vector<std::string>;

struct View : RecordsView {
    int unchecked = 0;
    std::vector<bool> enabled;
    std::string text;
    void uncheckShowRecords() override { ++unchecked; }
    void setGetRecordsEnabled(bool on) override { enabled.push_back(on); }
    void insertRecordText(std::string_view t) override { text += t; }
    // The times of the records that came, when their format has a Date and a Time field.
    std::vector<int64_t> times;
    void recordsRetrieved(const RecordBlock& block) override {
        std::vector<setup::RecordField> format;
        for (size_t k = 0; k < block.fieldCount(); ++k)
            format.push_back(block.field(k));
        const auto where = timeFieldsOf(format);
        for (size_t r = 0; where && r < block.recordCount(); ++r)
            times.push_back(recordSeconds(block, r, *where).value_or(-1));
    }
};

struct Rig : test::SimLink {
    setup::SetupModel model;
    setup::SetupTransfer transfer{ex, model};
    test::MemoryFileStore files;
    View view;
    RecordRetrieval retrieval{transfer, files, &view};

    Rig() {
        usb.OpenUsbPort();
        driver.written.clear();
    }
    std::string wire() const {
        std::string s;
        for (const auto& w : driver.written)
            s.push_back(static_cast<char>(w.byte));
        return s;
    }
    bool sent340() const { return wire().find("CMD340") != std::string::npos; }
    std::string file(const std::string& path) {
        const auto& b = files.files.at(path);
        return {b.begin(), b.end()};
    }
    // The instrument's record format: F fields of Number (6.1), Date, Time, Number, ...
    void format(int f) {
        auto& s = instrument.state.setup;
        s.fieldsPerRecord = f;
        for (int k = 0; k < 25; ++k)
            s.fields[static_cast<size_t>(k)] = {
                "FIELD " + std::string(k < 9 ? "0" : "") + std::to_string(k + 1), static_cast<uint8_t>(k % 3),
                6, 1};
    }
    // CMD340 answers exactly these values, whatever n.
    void answer(const std::vector<float>& values) {
        std::vector<uint8_t> bytes;
        for (float v : values)
            for (int s = 0; s < 32; s += 8)
                bytes.push_back(static_cast<uint8_t>(std::bit_cast<uint32_t>(v) >> s));
        instrument.registerCommand(
            340, [bytes](sim::Instrument& i, const sim::CommandLine&) { i.replyBytes(bytes); });
    }
    RetrievalResult get(uint32_t n, bool show, std::optional<std::string> name, char delimiter = ',') {
        host.setNextFileName(std::move(name));
        return retrieval.ButtonGetRecordsClick({n, delimiter, show, true, std::nullopt});
    }
    void expectEveryWayOutRestored() const {
        EXPECT_TRUE(host.timer_.enabled());
        EXPECT_EQ(host.waitCursorDepth, 0);
        EXPECT_TRUE(view.enabled.empty() || view.enabled.back());
    }
};

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

TEST(RecordRetrieval, ThreeFieldsTwoRecordsGiveTheFileAndDisplayByteForByte) {
    Rig rig;
    rig.format(3);
    rig.answer({12.3f, 110315.0f, 93005.0f, -1.5f, kNaN, 235959.0f});
    const RetrievalResult r = rig.get(2, true, "/data/rec.txt");
    EXPECT_EQ(r.outcome, RetrievalOutcome::Finished);
    EXPECT_EQ(r.totalBytes, 24u);
    EXPECT_EQ(rig.wire(), "CMD315\rCMD325\rCMD340 2\r");
    EXPECT_EQ(rig.host.lines,
              (Lines{"GET RECORDS", "DOWNLOADING RECORDS...", "TOTAL BYTES: 24", "WRITING RECORDS TO FILE...",
                     "SAVED RECORD FILE /data/rec.txt", "SHOWING RECORDS...", "FINISHED"}));
    ASSERT_EQ(rig.host.boxes.size(), 1u);
    EXPECT_EQ(rig.host.boxes[0].text, RecordRetrieval::kFormatText);
    ASSERT_EQ(rig.host.dialogs.size(), 1u);
    EXPECT_EQ(rig.host.dialogs[0].filter, "Text File (*.txt)|*.txt|All Files (*.*)|*.*");
    EXPECT_TRUE(rig.host.dialogs[0].overwritePrompt);

    // The second line is the download's own date and time, whatever they are: its digits are
    // masked, everything else must be exact.
    const std::string file = rig.file("/data/rec.txt");
    const std::string head = "2 RECORDS\r\n";
    const std::string stamp = "##-##-#### ##:##:##";
    std::string masked = file;
    for (size_t i = 0; i < stamp.size() && head.size() + i < masked.size(); ++i) {
        char& c = masked[head.size() + i];
        if (stamp[i] == '#' && c >= '0' && c <= '9') c = '#';
    }
    EXPECT_EQ(
        masked,
        head + stamp +
            "\r\nFIELD 01,FIELD 02,FIELD 03\r\n0012.3,03/15/2011,09:30:05\r\n-001.5,-99999,23:59:59\r\n");
    EXPECT_EQ(rig.view.text, "0000001,0012.3,03/15/2011,09:30:05\r\n0000002,-001.5,-99999,23:59:59\r\n");
    EXPECT_EQ(rig.view.enabled, (std::vector<bool>{false, true}));
    rig.expectEveryWayOutRestored();
}

TEST(RecordRetrieval, Timer1IsOffForTheDownloadAndLeftAsItWasFound) {
    for (const bool wasOn : {true, false}) {
        Rig rig;
        rig.host.timer_.setEnabled(wasOn, rig.host.clock_.nowMs());
        int ticks = 0;
        rig.host.timer_.onTick = [&ticks] { ++ticks; };
        rig.format(3);
        rig.answer({12.3f, 110315.0f, 93005.0f});
        EXPECT_EQ(rig.get(1, false, "/data/rec.txt").outcome, RetrievalOutcome::Finished);
        EXPECT_EQ(ticks, 0) << "was on: " << wasOn;
        EXPECT_EQ(rig.host.timer_.enabled(), wasOn);
    }
}

TEST(RecordRetrieval, FieldsTimesRecordsLimit) {
    struct Row {
        const char* name;
        int fields;
        uint32_t n;
        bool accepted;
    };
    const std::vector<Row> rows = {
        {"25 fields, largest count", 25, 86507, true},
        {"25 fields, one more", 25, 86508, false},
        {"1 field, largest count", 1, 2162687, true},
        {"1 field, the limit itself", 1, 2162688, false},
        {"25 fields, a count whose product passes 32 bits", 25, 999999999, false},
    };
    for (const Row& row : rows) {
        Rig rig;
        rig.format(row.fields);
        // A silent instrument: the download is not the point here and ends at once.
        rig.instrument.faults.perCommand[340] = sim::Fault::silent();
        if (row.accepted) rig.host.setNextFileName("/data/x.txt");
        rig.retrieval.ButtonGetRecordsClick({row.n, ',', false, true, std::nullopt});
        EXPECT_EQ(rig.sent340(), row.accepted) << row.name;
        EXPECT_EQ(rig.host.dialogs.size(), row.accepted ? 1u : 0u) << row.name;
        if (!row.accepted) {
            ASSERT_EQ(rig.host.boxes.size(), 2u) << row.name;
            EXPECT_EQ(rig.host.boxes[1].text, tooManyMessage(row.fields)) << row.name;
        }
        rig.expectEveryWayOutRestored();
    }
    EXPECT_EQ(tooManyMessage(25),
              "With 25 Fields Per Record,\na maximum of 86507 records may\nbe retrieved.");
}

TEST(RecordRetrieval, SlowDisplayQuestionFromFiveThousandWhenShowing) {
    struct Row {
        const char* name;
        uint32_t n;
        bool show;
        bool asked;
        MsgResult answer;
    };
    const std::vector<Row> rows = {
        {"4,999 shown: no question", 4999, true, false, MsgResult::Yes},
        {"5,000 shown: asked, Yes", 5000, true, true, MsgResult::Yes},
        {"5,000 shown: asked, No unchecks", 5000, true, true, MsgResult::No},
        {"999,999 not shown: never asked", 999999, false, false, MsgResult::Yes},
    };
    for (const Row& row : rows) {
        Rig rig;
        rig.format(1);
        if (row.asked) rig.host.setNextAnswer(row.answer);
        rig.get(row.n, row.show, std::nullopt);
        const bool asked = !rig.host.boxes.empty() && rig.host.boxes[0].text == slowDisplayQuestion(row.n);
        EXPECT_EQ(asked, row.asked) << row.name;
        EXPECT_EQ(rig.view.unchecked, row.asked && row.answer == MsgResult::No ? 1 : 0) << row.name;
        // The retrieval goes on either way: the format is read and the file asked for.
        EXPECT_EQ(rig.host.dialogs.size(), 1u) << row.name;
    }
    EXPECT_EQ(
        slowDisplayQuestion(5000),
        "Showing 5000 records will be slow.\nAre you sure you want to do that?\n\nSelect Yes to continue or\n"
        "No to download records to a file\nwithout showing them.");
}

TEST(RecordRetrieval, WaysOutBeforeTheDownloadSendNoRecordCommand) {
    struct Row {
        const char* name;
        bool portOpen;
        bool formatSilent;
        RetrievalOutcome outcome;
        const char* lastBox;
    };
    const std::vector<Row> rows = {
        {"port closed", false, false, RetrievalOutcome::PortClosed, RecordRetrieval::kPortClosedText},
        {"format read fails", true, true, RetrievalOutcome::FormatFailed, kCommErrorText},
        {"file dialog cancelled", true, false, RetrievalOutcome::Cancelled, RecordRetrieval::kFormatText},
    };
    for (const Row& row : rows) {
        Rig rig;
        rig.format(2);
        if (!row.portOpen) rig.usb.closeAtExit();
        if (row.formatSilent) rig.instrument.faults.perCommand[315] = sim::Fault::silent();
        rig.host.fileNames.push_back(std::nullopt);
        rig.files.files["/data/old.txt"] = {'o', 'l', 'd'};
        EXPECT_EQ(rig.get(10, false, std::nullopt).outcome, row.outcome) << row.name;
        EXPECT_FALSE(rig.sent340()) << row.name;
        ASSERT_FALSE(rig.host.boxes.empty()) << row.name;
        EXPECT_EQ(rig.host.boxes.back().text, row.lastBox) << row.name;
        EXPECT_EQ(rig.files.files.size(), 1u) << row.name;
        rig.expectEveryWayOutRestored();
    }
}

TEST(RecordRetrieval, StalledDownloadEndsAfterElevenEmptyReadsWithTheOldFileIntact) {
    Rig rig;
    rig.format(3);
    rig.instrument.faults.records.stopAfterBytes = 10;
    rig.files.files["/data/rec.txt"] = {'o', 'l', 'd'};
    const RetrievalResult r = rig.get(50, true, "/data/rec.txt");
    EXPECT_EQ(r.outcome, RetrievalOutcome::TimedOut);
    EXPECT_EQ(r.totalBytes, 10u);
    EXPECT_EQ(rig.host.lines, (Lines{"GET RECORDS", "DOWNLOADING RECORDS...", "TOTAL BYTES: 10"}));
    EXPECT_EQ(rig.host.boxes.back().text, kCommErrorText);
    EXPECT_EQ(rig.file("/data/rec.txt"), "old");
    EXPECT_EQ(rig.files.files.size(), 1u);
    EXPECT_EQ(rig.view.text, "");
    EXPECT_EQ(rig.host.progress.back(), 0);
    // The read that brought the ten bytes, then eleven silent ones of 250 ms: no more, no less.
    const int64_t readUs = int64_t{UsbPort::kReadTimeoutMs} * 1000;
    const int64_t waitedUs = rig.host.clock_.nowUs() - rig.driver.written.back().atUs;
    EXPECT_GE(waitedUs, (RecordRetrieval::kEmptyReadsTolerated + 2) * readUs);
    EXPECT_LT(waitedUs, (RecordRetrieval::kEmptyReadsTolerated + 3) * readUs);
    rig.expectEveryWayOutRestored();
}

// Closing the window ends the download at its next pump as a stalled one ends, the old file kept;
// closed while the records are shown, the file is already whole and only the showing stops.
TEST(RecordRetrieval, ClosingTheWindowEndsTheDownloadOrTheShowingAtTheNextPump) {
    struct Row {
        const char* name;
        const char* closedAfter;  // the window is closed once this line is in the message area
        RetrievalOutcome outcome;
        bool fileWritten;
    };
    const Row rows[] = {
        {"downloading", "DOWNLOADING RECORDS...", RetrievalOutcome::TimedOut, false},
        {"showing", "SHOWING RECORDS...", RetrievalOutcome::Finished, true},
    };
    constexpr uint32_t kRecords = 2 * RecordRetrieval::kShowRecordsPerStep + 1;
    for (const Row& row : rows) {
        Rig rig;
        rig.format(3);
        rig.files.files["/data/rec.txt"] = {'o', 'l', 'd'};
        rig.host.setNextAnswer(MsgResult::Yes);  // showing that many is slow: shown all the same
        rig.host.closingWhen = [&rig, &row] {
            const auto& lines = rig.host.lines;
            return std::find(lines.begin(), lines.end(), row.closedAfter) != lines.end();
        };
        const RetrievalResult r = rig.get(kRecords, true, "/data/rec.txt");
        EXPECT_EQ(r.outcome, row.outcome) << row.name;
        const std::string file = rig.file("/data/rec.txt");
        const auto shown = std::count(rig.view.text.begin(), rig.view.text.end(), '\n');
        if (row.fileWritten) {
            EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), kRecords + 3) << row.name;
            EXPECT_EQ(shown, RecordRetrieval::kShowRecordsPerStep) << row.name;
        } else {
            EXPECT_EQ(file, "old") << row.name;
            EXPECT_EQ(r.totalBytes, RecordRetrieval::kReadBlock) << row.name;
            EXPECT_EQ(shown, 0) << row.name;
        }
        EXPECT_EQ(rig.files.files.size(), 1u) << row.name;
        rig.expectEveryWayOutRestored();
    }
}

// A file that cannot be created is found before CMD340; one whose save fails after the download
// keeps the records: the window asks for another file, a script is told which file and why.
TEST(RecordRetrieval, FileProblemsAreFoundBeforeTheDownloadOrKeepTheRecords) {
    struct Row {
        const char* name;
        std::optional<std::string> fixedPath;  // the command line's FILE
        std::vector<std::optional<std::string>> dialogAnswers;
        RetrievalOutcome outcome;
        bool sent340;
        std::string firstBox;  // after the format notice
        const char* savedAt;   // where the records landed, if anywhere
        const char* lastLine;  // how the message area ends; nullptr where no download ran
    };
    const std::string kept = std::string("\n\n") + RecordRetrieval::kKeptText;
    const std::vector<Row> rows = {
        {"window: read-only place refused before the download",
         std::nullopt,
         {"/readonly/rec.txt"},
         RetrievalOutcome::FileFailed,
         false,
         recordFileProblem("/readonly/rec.txt", "Access is denied."),
         nullptr,
         nullptr},
        {"script: read-only place refused before the download",
         "/readonly/rec.txt",
         {},
         RetrievalOutcome::FileFailed,
         false,
         recordFileProblem("/readonly/rec.txt", "Access is denied."),
         nullptr,
         nullptr},
        {"window: full disk, another file chosen",
         std::nullopt,
         {"/full/rec.txt", "/data/other.txt"},
         RetrievalOutcome::Finished,
         true,
         recordFileProblem("/full/rec.txt", "No space left on device") + kept,
         "/data/other.txt",
         "FINISHED"},
        {"window: full disk, the second dialog cancelled",
         std::nullopt,
         {"/full/rec.txt", std::nullopt},
         RetrievalOutcome::FileFailed,
         true,
         recordFileProblem("/full/rec.txt", "No space left on device") + kept,
         nullptr,
         RecordRetrieval::kNotSavedText},
        {"script: full disk",
         "/full/rec.txt",
         {},
         RetrievalOutcome::FileFailed,
         true,
         recordFileProblem("/full/rec.txt", "No space left on device"),
         nullptr,
         RecordRetrieval::kNotSavedText},
    };
    for (const Row& row : rows) {
        Rig rig;
        rig.format(1);
        rig.answer({1.0f});
        rig.files.files["/data/old.txt"] = {'o', 'l', 'd'};
        for (const auto& a : row.dialogAnswers)
            rig.host.setNextFileName(a);
        const RetrievalResult r =
            rig.retrieval.ButtonGetRecordsClick({1, ',', true, true, row.fixedPath, false, !row.fixedPath});
        EXPECT_EQ(r.outcome, row.outcome) << row.name;
        EXPECT_EQ(rig.sent340(), row.sent340) << row.name;
        ASSERT_GE(rig.host.boxes.size(), 2u) << row.name;
        EXPECT_EQ(rig.host.boxes[1].text, row.firstBox) << row.name;
        EXPECT_EQ(rig.host.dialogs.size(), row.dialogAnswers.size()) << row.name;
        EXPECT_EQ(rig.files.files.size(), row.savedAt ? 2u : 1u) << row.name;
        EXPECT_EQ(rig.file("/data/old.txt"), "old") << row.name;
        if (row.savedAt) {
            EXPECT_TRUE(rig.file(row.savedAt).ends_with("\r\n0001.0\r\n")) << row.name;
        }
        // A line names the file the records went to, and only that one.
        std::vector<std::string> savedLines;
        for (const std::string& line : rig.host.lines)
            if (line.starts_with(RecordRetrieval::kSavedLine)) savedLines.push_back(line);
        EXPECT_EQ(savedLines, row.savedAt ? std::vector<std::string>{RecordRetrieval::kSavedLine +
                                                                     std::string(row.savedAt)}
                                          : std::vector<std::string>{})
            << row.name;
        // Records that came are shown whether or not a file took them.
        EXPECT_EQ(rig.view.text, row.sent340 ? "0000001,0001.0\r\n" : "") << row.name;
        // A retrieval whose records were dropped never ends with FINISHED.
        if (row.lastLine) {
            ASSERT_FALSE(rig.host.lines.empty()) << row.name;
            EXPECT_EQ(rig.host.lines.back(), row.lastLine) << row.name;
        }
        EXPECT_EQ(std::count(rig.host.lines.begin(), rig.host.lines.end(), "FINISHED"), row.savedAt ? 1 : 0)
            << row.name;
        rig.expectEveryWayOutRestored();
    }
}

// An instrument that holds fewer records than asked sends what it has and falls silent: the
// complete records are kept (a partial last one never), after a question in the window and with a
// warning for a script. Asked for all records, the silence is the normal end.
TEST(RecordRetrieval, ShortDownloadsKeepTheCompleteRecords) {
    struct Row {
        const char* name;
        uint32_t logged;                   // what the instrument holds
        std::optional<uint64_t> cutAfter;  // bytes, when it stops mid-record
        bool all;
        bool ask;
        std::optional<MsgResult> answer;
        std::string box;  // the box after the format notice; empty for none
        RetrievalOutcome outcome;
        uint32_t written;
    };
    constexpr uint32_t kAsked = 10;
    const int f = 3;
    const std::vector<Row> rows = {
        {"window, Yes saves the 4 that came", 4, std::nullopt, false, true, MsgResult::Yes,
         shortDownloadQuestion(4, kAsked), RetrievalOutcome::Short, 4},
        {"window, a partial fifth record is dropped", 10, 4 * f * 4 + 7, false, true, MsgResult::Yes,
         shortDownloadQuestion(4, kAsked), RetrievalOutcome::Short, 4},
        {"window, No keeps the old file", 4, std::nullopt, false, true, MsgResult::No,
         shortDownloadQuestion(4, kAsked), RetrievalOutcome::Cancelled, 0},
        {"script: a warning, and the 4 written", 4, std::nullopt, false, false, std::nullopt,
         shortDownloadText(4, kAsked), RetrievalOutcome::Short, 4},
        {"not one whole record: the communication error", 10, f * 4 - 1, false, false, std::nullopt,
         kCommErrorText, RetrievalOutcome::TimedOut, 0},
        {"all: ends at the silence without a question", 7, std::nullopt, true, true, std::nullopt, "",
         RetrievalOutcome::Finished, 7},
        {"all from an empty memory: a file of no records", 0, std::nullopt, true, false, std::nullopt, "",
         RetrievalOutcome::Finished, 0},
    };
    for (const Row& row : rows) {
        Rig rig;
        rig.format(f);
        rig.instrument.state.records.logged = row.logged;
        rig.instrument.faults.records.stopAfterBytes = row.cutAfter;
        rig.files.files["/data/rec.txt"] = {'o', 'l', 'd'};
        if (row.answer) rig.host.setNextAnswer(*row.answer);
        const RetrievalResult r = rig.retrieval.ButtonGetRecordsClick(
            {kAsked, ',', false, true, "/data/rec.txt", row.all, row.ask});
        EXPECT_EQ(r.outcome, row.outcome) << row.name;
        EXPECT_EQ(r.recordsWritten, row.written) << row.name;
        const uint32_t asked = row.all ? RecordRetrieval::maxRecords(f) : kAsked;
        EXPECT_NE(rig.wire().find("CMD340 " + std::to_string(asked) + "\r"), std::string::npos) << row.name;
        ASSERT_EQ(rig.host.boxes.size(), row.box.empty() ? 1u : 2u) << row.name;
        if (!row.box.empty()) {
            EXPECT_EQ(rig.host.boxes[1].text, row.box) << row.name;
        }
        const std::string file = rig.file("/data/rec.txt");
        if (row.outcome == RetrievalOutcome::Short || row.outcome == RetrievalOutcome::Finished) {
            EXPECT_TRUE(file.starts_with(std::to_string(row.written) + " RECORDS\r\n")) << row.name;
            EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), row.written + 3) << row.name;
        } else {
            EXPECT_EQ(file, "old") << row.name;
        }
        rig.expectEveryWayOutRestored();
    }
    EXPECT_EQ(shortDownloadText(4, 10), "Only 4 of 10 records arrived.");
    EXPECT_EQ(RecordRetrieval::maxRecords(25), 86507u);
    EXPECT_EQ(RecordRetrieval::maxRecords(1), 2162687u);
}

// Asked for all, the instrument's silence ends the records and a stall looks the same: its 16
// newest records are asked for after the silence. They reach back to the last record that came
// when the download was whole (those logged meanwhile are added); else it was cut, and the records
// that came are kept as for a short download. A record broken off or a lost port is never an end.
TEST(RecordRetrieval, AllRecordsAreCompleteOnlyUpToTheInstrumentsNewest) {
    struct Row {
        const char* name;
        uint32_t logged;
        std::optional<uint64_t> stallAfter;  // bytes, then a pause of stallMs
        int64_t stallMs;
        std::optional<uint64_t> stopAfter;  // bytes, for every CMD340
        uint32_t loggedMeanwhile;           // records logged between the download and its check
        std::optional<uint64_t> goneAfter;  // the port goes away once this many bytes came
        bool ask;
        RetrievalOutcome outcome;
        uint32_t written;
        bool checked;  // the newest records were asked for
        Outcome::Kind link;
    };
    const int f = 3;
    const uint64_t rb = f * 4;
    using K = Outcome::Kind;
    const int64_t silenceMs = (RecordRetrieval::kEmptyReadsTolerated + 2) * int64_t{UsbPort::kReadTimeoutMs};
    const std::vector<Row> rows = {
        {"whole: the newest record came last",
         40,
         {},
         0,
         {},
         0,
         {},
         false,
         RetrievalOutcome::Finished,
         40,
         true,
         K::Done},
        {"fewer than 16 held", 5, {}, 0, {}, 0, {}, false, RetrievalOutcome::Finished, 5, true, K::Done},
        {"a pause shorter than the silence",
         40,
         10 * rb,
         1000,
         {},
         0,
         {},
         false,
         RetrievalOutcome::Finished,
         40,
         true,
         K::Done},
        {"records logged during the download are added",
         40,
         {},
         0,
         {},
         3,
         {},
         false,
         RetrievalOutcome::Finished,
         43,
         true,
         K::Done},
        {"a stall longer than the silence",
         40,
         10 * rb,
         silenceMs + 5000,
         {},
         0,
         {},
         false,
         RetrievalOutcome::Short,
         10,
         true,
         K::Failed},
        {"a stall, the window asks",
         40,
         10 * rb,
         silenceMs + 5000,
         {},
         0,
         {},
         true,
         RetrievalOutcome::Short,
         10,
         true,
         K::Failed},
        {"a stall before the first record",
         40,
         0,
         60000,
         {},
         0,
         {},
         false,
         RetrievalOutcome::TimedOut,
         0,
         true,
         K::Failed},
        {"a record broken off",
         40,
         {},
         0,
         10 * rb + 5,
         0,
         {},
         false,
         RetrievalOutcome::Short,
         10,
         false,
         K::Failed},
        {"the port gone after 25 records",
         40,
         {},
         0,
         {},
         0,
         25 * rb,
         false,
         RetrievalOutcome::Short,
         25,
         false,
         K::PortGone},
        {"the port gone, the window asks",
         40,
         {},
         0,
         {},
         0,
         25 * rb,
         true,
         RetrievalOutcome::Short,
         25,
         false,
         K::PortGone},
    };
    for (const Row& row : rows) {
        Rig rig;
        rig.format(f);
        auto& records = rig.instrument.state.records;
        records.logged = row.logged;
        records.intervalSeconds = 60;
        rig.instrument.faults.records.stallAfterBytes = row.stallAfter;
        rig.instrument.faults.records.stallUs = row.stallMs * 1000;
        rig.instrument.faults.records.stopAfterBytes = row.stopAfter;
        // Looked at after every read of the download: the instrument logs on, or goes away.
        rig.host.closingWhen = [&rig, &row, &records] {
            if (!rig.sent340() || rig.host.progress.empty()) return false;
            if (row.loggedMeanwhile > 0) records.logged = row.logged + row.loggedMeanwhile;
            if (row.goneAfter && rig.usb.isOpen() && uint64_t(rig.host.progress.back()) >= *row.goneAfter)
                rig.usb.instrumentGone();
            return false;
        };
        if (row.ask) rig.host.setNextAnswer(MsgResult::Yes);
        rig.files.files["/data/rec.txt"] = {'o', 'l', 'd'};
        const RetrievalResult r =
            rig.retrieval.ButtonGetRecordsClick({1, ',', false, true, "/data/rec.txt", true, row.ask});
        EXPECT_EQ(r.outcome, row.outcome) << row.name;
        EXPECT_EQ(r.recordsWritten, row.written) << row.name;
        EXPECT_EQ(r.link.kind(), row.link) << row.name;
        EXPECT_EQ(rig.wire().find("CMD340 16\r") != std::string::npos, row.checked) << row.name;
        const std::string file = rig.file("/data/rec.txt");
        if (row.outcome == RetrievalOutcome::TimedOut) {
            EXPECT_EQ(file, "old") << row.name;
        } else {
            EXPECT_TRUE(file.starts_with(std::to_string(row.written) + " RECORDS\r\n")) << row.name;
            EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), row.written + 3) << row.name;
        }
        // The records that came are the instrument's oldest, in order, and no record twice.
        for (uint32_t k = 0; k < row.written; ++k) {
            char time[32];
            std::snprintf(time, sizeof time, ",%02u:%02u:00\r\n", k / 60, k % 60);
            EXPECT_NE(file.find(time), std::string::npos) << row.name << " record " << k;
        }
        if (row.outcome == RetrievalOutcome::Short) {
            ASSERT_EQ(rig.host.boxes.size(), 2u) << row.name;
            EXPECT_EQ(rig.host.boxes[1].text,
                      row.ask ? cutDownloadQuestion(row.written) : cutDownloadText(row.written))
                << row.name;
            EXPECT_EQ(r.link.reason(), cutDownloadText(row.written)) << row.name;
        }
        if (row.outcome == RetrievalOutcome::Finished) {
            EXPECT_EQ(rig.host.boxes.size(), 1u) << row.name;
        }
        rig.expectEveryWayOutRestored();
    }
    EXPECT_EQ(cutDownloadText(12), "The download was cut short after 12 records.");
}

// The newest records asked for after a download's closing silence must reach back across all that
// the instrument logged meanwhile: a clock running 600 times faster logs some 30 in that silence.
TEST(RecordRetrieval, TheNewestAfterASilenceReachBackAcrossAFastClock) {
    struct Row {
        const char* name;
        int64_t speed;
        bool clockGiven;
        std::optional<uint32_t> count;  // none: all records
        RetrievalOutcome outcome;
        size_t fewest;  // records that came, at least
    };
    const Row rows[] = {
        {"real time", 1, true, {}, RetrievalOutcome::Finished, 40},
        {"600 times faster, without the clock", 600, false, {}, RetrievalOutcome::Short, 40},
        {"600 times faster", 600, true, {}, RetrievalOutcome::Finished, 40 + 16 + 1},
        {"600 times faster, room for five more", 600, true, 45, RetrievalOutcome::Finished, 45},
    };
    for (const Row& row : rows) {
        Rig rig;
        sim::configureStation(rig.instrument);
        rig.instrument.state.setup.clockSpeed = row.speed;
        const int64_t start = *sim::clockSeconds(rig.instrument.state.setup);
        auto& memory = rig.instrument.state.records;
        memory.logged = 40;
        memory.firstSeconds = start - 40 * 60;
        memory.nextSeconds = start;
        RetrievalOptions options;
        options.count = row.count.value_or(1);
        options.allRecords = !row.count;
        options.countMayExceedHeld = row.count.has_value();
        options.path = "/data/rec.txt";
        options.askBeforeShortSave = false;
        if (row.clockGiven) options.clockBefore = start;
        const RetrievalResult r = rig.retrieval.ButtonGetRecordsClick(options);
        EXPECT_EQ(r.outcome, row.outcome) << row.name;
        // The instrument's records from its oldest, one a minute, none missing and none twice.
        const std::vector<int64_t>& times = rig.view.times;
        ASSERT_GE(times.size(), row.fewest) << row.name;
        EXPECT_LE(times.size(), row.count.value_or(memory.logged)) << row.name;
        EXPECT_EQ(times.front(), start - 40 * 60) << row.name;
        for (size_t k = 1; k < times.size(); ++k)
            ASSERT_EQ(times[k] - times[k - 1], 60) << row.name << " record " << k;
    }
}

// Asked for a count, a port lost in the middle keeps the whole records that came, as silence does.
TEST(RecordRetrieval, APortLostMidDownloadIsAShortDownload) {
    Rig rig;
    rig.format(3);
    rig.host.closingWhen = [&rig] {
        // After the first read of 100 bytes: eight records and a part.
        if (rig.usb.isOpen() && rig.sent340() && !rig.host.progress.empty() &&
            rig.host.progress.back() >= 100)
            rig.usb.instrumentGone();
        return false;
    };
    rig.files.files["/data/rec.txt"] = {'o', 'l', 'd'};
    const RetrievalResult r =
        rig.retrieval.ButtonGetRecordsClick({10, ',', false, true, "/data/rec.txt", false, false});
    EXPECT_EQ(r.outcome, RetrievalOutcome::Short);
    EXPECT_EQ(r.recordsWritten, 8u);
    EXPECT_EQ(r.link.kind(), Outcome::Kind::PortGone);
    EXPECT_EQ(r.link.reason(), shortDownloadText(8, 10));
    EXPECT_TRUE(rig.file("/data/rec.txt").starts_with("8 RECORDS\r\n"));
    // It ends at the first read that finds the port gone, not after the silence.
    EXPECT_LT(rig.host.clock_.nowUs() - rig.driver.written.back().atUs,
              3 * int64_t{UsbPort::kReadTimeoutMs} * 1000 + RecordRetrieval::kFinishPauseMs * 1000 +
                  RecordRetrieval::kFileWritePauseMs * 1000);
}

// Asked for all, the count is known only once the records came: the slow-display question names it.
TEST(RecordRetrieval, AllRecordsAskAboutShowingOnceTheirNumberIsKnown) {
    Rig rig;
    rig.format(1);
    rig.instrument.state.records.logged = RecordRetrieval::kSlowDisplayCount + 1;
    rig.host.setNextAnswer(MsgResult::No);
    const RetrievalResult r =
        rig.retrieval.ButtonGetRecordsClick({1, ',', true, true, "/data/rec.txt", true, true});
    EXPECT_EQ(r.outcome, RetrievalOutcome::Finished);
    ASSERT_EQ(rig.host.boxes.size(), 2u);
    EXPECT_EQ(rig.host.boxes[1].text, slowDisplayQuestion(RecordRetrieval::kSlowDisplayCount + 1));
    EXPECT_EQ(rig.view.unchecked, 1);
    EXPECT_EQ(rig.view.text, "");
}

}  // namespace
}  // namespace vrn::records
