#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/link/exchange.h"
#include "core/link/outcome.h"

namespace vrn {
class FileStore;
class Host;
}  // namespace vrn

namespace vrn::setup {
class SetupTransfer;
}

namespace vrn::records {

class RecordBlock;

// What the Get Records page lends a retrieval; the command-line tool has none of it.
class RecordsView {
public:
    virtual ~RecordsView() = default;
    // The user chose not to see the records after all.
    virtual void uncheckShowRecords() = 0;
    virtual void setGetRecordsEnabled(bool enabled) = 0;
    // Display text for MemoRecs, inserted at its caret.
    virtual void insertRecordText(std::string_view text) = 0;
    // Every record arrived; the page keeps them for its chart.
    virtual void recordsRetrieved(const RecordBlock& block) { (void)block; }
    // Before the record format read from the instrument replaces the Setup's: false (a changed
    // Setup the user did not let go) ends the retrieval before anything is sent.
    virtual bool mayReplaceRecordFormat() { return true; }
    // The download runs and may be stopped (an abort of the exchange's waits); then it has ended.
    virtual void downloadRunning(bool running) { (void)running; }
    // Asked whether to stop, the user let the download go on.
    virtual void downloadGoesOn() {}
    // The whole records that came so far, while their total is not known (All records).
    virtual void recordsSoFar(uint32_t count) { (void)count; }
};

struct RetrievalOptions {
    uint32_t count = 100;  // N, records to retrieve
    char delimiter = ',';
    bool showRecords = false;
    // The notice that the record format is read from the instrument first; a script knows.
    bool formatNotice = true;
    // The file to write; without one the save dialog asks.
    std::optional<std::string> path;
    // Every record the instrument holds: the most the record format allows is asked for and the
    // silence after the last one ends the download. `count` is not used.
    bool allRecords = false;
    // Fewer records than asked: the window asks before saving those that came; a script is told
    // with a warning and gets them.
    bool askBeforeShortSave = true;
    // Without a record file the records go to the view only (the archive keeps them): no file is
    // chosen, made or written, and none is shown.
    bool recordFile = true;
    // A count may be more than the instrument holds: it then sends what it holds and falls
    // silent, and its newest records tell that silence from a download cut short, as for all.
    bool countMayExceedHeld = false;
    // A short download is not told: the caller judges it (with the instrument's clock) and says.
    bool quietShort = false;
    // The instrument's clock (its own seconds, see clockSeconds) read at or before the download
    // began. A download ended by silence is then checked against as many newest records as the
    // clock, read again, says were logged since, and the margin: a clock that runs fast logs more
    // during the silence than kNewestRecordsAsked. Without it, kNewestRecordsAsked are asked for.
    std::optional<int64_t> clockBefore{};
    // The caller read the record format into the transfer's Setup just before: it is not read again.
    bool formatRead = false;
    // The pause before the closing purge, which a command that ends with the retrieval does without.
    bool finishPause = true;
};

enum class RetrievalOutcome : uint8_t {
    Finished,
    PortClosed,
    FormatFailed,  // reading the record format failed
    TooMany,       // F x N is beyond what the instrument can hold
    Cancelled,     // the save dialog was cancelled
    NoMemory,
    TimedOut,    // the instrument stopped before all records came
    FileFailed,  // the file cannot be created, or the records came but could not be written
    Short,       // fewer records than asked came; the complete ones were written
};

struct RetrievalResult {
    RetrievalOutcome outcome = RetrievalOutcome::Finished;
    uint32_t totalBytes = 0;
    uint32_t recordsWritten = 0;
    // How the download itself ended: Done, PortGone when the port closed or went away under it,
    // Failed when the instrument fell silent before the last record; the line that said so.
    Outcome link = Outcome::done();
};

// Get Records: reads the record format from the instrument, downloads N records with CMD340,
// writes them to the record text file and, if asked, shows them. The file replaces an old one only
// once the download is complete and the file written; on any failure the old file is untouched.
class RecordRetrieval {
public:
    // F x N must stay below this (hexadecimal 210000): the record memory's size in values.
    static constexpr uint64_t kMaxValues = 2162688;
    static constexpr uint32_t kSlowDisplayCount = 5000;
    static constexpr int64_t kFormatPauseMs = 200;
    static constexpr size_t kReadBlock = 100;
    // The eleventh empty read in a row ends the download.
    static constexpr int kEmptyReadsTolerated = 10;
    // However the records trickle, a download ends within this bound: a base and a time per byte
    // far below the line's rate.
    static constexpr int64_t kDownloadBaseMs = 30000;
    static constexpr size_t kDownloadBytesPerMs = 10;
    // Asked for all, the records end at the instrument's silence, as a stall would end them: its
    // newest records are asked for after it. They must reach back to the last record that came,
    // across those logged while the download ran.
    static constexpr uint32_t kNewestRecordsAsked = 16;
    static constexpr int64_t kFileWritePauseMs = 50;
    static constexpr int64_t kFinishPauseMs = 100;
    // Records formatted for the file between two looks at the window's events.
    static constexpr size_t kRecordsPerStep = 1000;
    // Records shown between two looks. Every insert and every look costs the view some
    // milliseconds whatever the size (it lays out and repaints its last lines and its scroll bars),
    // so showing takes bigger steps; a step of the largest retrieval stays within about 50 ms.
    static constexpr size_t kShowRecordsPerStep = 5000;

    static constexpr const char* kPortClosedText = "Cannot get records because VARNO USB port is closed.";
    static constexpr const char* kFormatText =
        "Records will be retrieved using\nFields-per-Record and Record Formats\nstored on 41700. Retrieved "
        "values\n"
        "for these parameters will overwrite\nthose show on Setup tab.";
    static constexpr const char* kFileText =
        "The named file cannot be opened.\nIt may be in use by another program.";
    static constexpr const char* kKeptText = "The records are kept: choose another file for them.";
    static constexpr const char* kNotSavedText = "RECORDS NOT SAVED.";
    // Before the name of the record file written, in the message area.
    static constexpr const char* kSavedLine = "SAVED RECORD FILE ";
    static constexpr const char* kGoOnText = "Cancel goes on downloading.";
    static constexpr const char* kFileFilter = "Text File (*.txt)|*.txt|All Files (*.*)|*.*";
    static constexpr const char* kFileExt = "txt";

    RecordRetrieval(setup::SetupTransfer& transfer, FileStore& files, RecordsView* view = nullptr)
        : transfer_(transfer), files_(files), view_(view) {}

    RetrievalResult ButtonGetRecordsClick(const RetrievalOptions& options);

    // The most records one retrieval can ask for with f fields per record.
    static uint32_t maxRecords(int fieldsPerRecord);

    // Puts the display text of the record file's lines (the text after its header) into the view in
    // steps, the progress bar following and the window's events running after each step; stops
    // when the window is closing.
    static void showRecords(Host& h, RecordsView& view, std::string_view recordLines, size_t recordCount,
                            char delimiter);

private:
    // How the user ended a download with Stop: not at all, keeping the whole records that came,
    // or dropping them.
    enum class Stop : uint8_t { None, Keep, Drop };
    // The download proper, as receiveRecords sees it: shown as it goes, and stoppable.
    struct Receiving {
        const RetrievalOptions& options;
        uint32_t asked;
        size_t recordBytes;
        Stop stop = Stop::None;
    };

    Host& host();
    // The phases of a retrieval, in their order.
    // Whether the records are still to be shown once count of them are known: from the slow
    // display question on, the user may say no (and the page's box is unchecked).
    bool stillShowing(bool show, uint32_t count);
    // Reads fields per record and the record formats into the Setup (after the notice); a failure
    // after the communication box, Refused when the view kept the Setup's own.
    Outcome readRecordFormat(bool notice);
    // N, or none after the message when F x N is beyond what the instrument can hold.
    std::optional<uint32_t> recordsToAsk(const RetrievalOptions& options);
    // The file the records go to, once it is known it can be created: Finished with its path,
    // Cancelled, or FileFailed when it cannot be (the box said why).
    RetrievalOutcome chooseRecordFile(const RetrievalOptions& options, std::string& path);
    // Room for the records; false after the message when there is none.
    bool allocateRecords(size_t bytes, std::vector<uint8_t>& buffer);
    // Sends CMD340 for n records and receives them (see receiveRecords), with the lines and bar;
    // asked for all, the instrument's newest records then tell whether the silence was their end.
    size_t downloadRecords(const RetrievalOptions& options, uint32_t n, std::span<uint8_t> buffer,
                           size_t recordBytes, Outcome& ended, Stop& stop);
    // Reads CMD340's answer into the buffer; the bytes that came, and how the wait ended: Done when
    // the buffer is full, else by silence, the port's loss or the abort. With `main`, the progress
    // follows and an abort (Stop) asks whether to stop, noted in main; Cancel lets it go on.
    size_t receiveRecords(std::span<uint8_t> buffer, Outcome& ended, Receiving* main = nullptr);
    void showReceived(const Receiving& main, size_t total);
    // After an abort: the answer to the stop question; a script is not asked and keeps the records.
    Stop askStop(const Receiving& main, size_t total);
    // The wait of a download of so many bytes.
    static WaitRule downloadWait(size_t bytes);
    // After the silence that ends a download of all records: whether the records that came are
    // all the instrument holds. The newest records after the last that came are added to them, as
    // many as the buffer has room for (the rest are left for the next retrieval).
    bool completeFromNewest(std::span<uint8_t> buffer, size_t& total, size_t recordBytes,
                            std::optional<int64_t> clockBefore);
    // How many newest records reach back across those logged since clockBefore (see
    // RetrievalOptions); none when the instrument's clock cannot be read.
    std::optional<uint32_t> newestToAsk(std::span<const uint8_t> came, std::optional<int64_t> clockBefore);
    // Whether the records of a short download are saved: asked in the window, told to a script.
    bool keepShortDownload(const RetrievalOptions& options, uint32_t arrived, uint32_t asked);
    // What a download cut short leaves: Finished or Short to go on with, or TimedOut or Cancelled.
    RetrievalOutcome judgeDownload(const RetrievalOptions& options, uint32_t asked, uint32_t arrived,
                                   bool cutShort, Stop stop);
    // The record file's text in steps, the bar following; headerSize is where its records start.
    std::string recordFileText(const RecordBlock& block, uint32_t arrived, size_t recordBytes, char delimiter,
                               size_t& headerSize);
    // Writes the file; in the window a failed save keeps the records and asks for another file.
    bool saveRecordFile(std::string& path, std::string_view text, bool mayAskAgain);
    // The end of every retrieval that got as far as the file: the pause (when asked for), the purge,
    // "FINISHED", or kNotSavedText when the records were dropped.
    void finishRetrieval(bool saved, bool pause);

    setup::SetupTransfer& transfer_;
    FileStore& files_;
    RecordsView* view_;
};

// The two questions and messages whose text carries a number.
std::string slowDisplayQuestion(uint32_t count);
std::string tooManyMessage(int fieldsPerRecord);
// A download that ended with fewer records than asked.
std::string shortDownloadText(uint32_t arrived, uint32_t asked);
std::string shortDownloadQuestion(uint32_t arrived, uint32_t asked);
// A download of all records that was cut: how many whole ones came.
std::string cutDownloadText(uint32_t arrived);
std::string cutDownloadQuestion(uint32_t arrived);
// Stop during a download: the question of a download cut short, whose Cancel lets it go on.
std::string stopDownloadQuestion(bool allRecords, uint32_t arrived, uint32_t asked);
// A file that cannot be written: the file message, the file's name and the reason.
std::string recordFileProblem(const std::string& path, const std::string& reason);

}  // namespace vrn::records
