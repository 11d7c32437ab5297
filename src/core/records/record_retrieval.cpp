#include "core/records/record_retrieval.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <new>
#include <optional>
#include <vector>

#include "core/io/file_store.h"
#include "core/link/clock.h"
#include "core/link/exchange.h"
#include "core/link/host.h"
#include "core/link/timer1_off.h"
#include "core/link/usb_port.h"
#include "core/records/collect_plan.h"
#include "core/records/record_keys.h"
#include "core/records/record_text.h"
#include "core/setup/setup_transfer.h"

namespace vrn::records {
namespace {

// The Get Records button is off from the download to the end of the retrieval.
class ButtonOff {
public:
    explicit ButtonOff(RecordsView* view) : view_(view) {
        if (view_) view_->setGetRecordsEnabled(false);
    }
    ~ButtonOff() {
        if (view_) view_->setGetRecordsEnabled(true);
    }
    ButtonOff(const ButtonOff&) = delete;
    ButtonOff& operator=(const ButtonOff&) = delete;

private:
    RecordsView* view_;
};

// Stop is offered while the download proper runs.
class StopOffered {
public:
    explicit StopOffered(RecordsView* view) : view_(view) {
        if (view_) view_->downloadRunning(true);
    }
    ~StopOffered() {
        if (view_) view_->downloadRunning(false);
    }
    StopOffered(const StopOffered&) = delete;
    StopOffered& operator=(const StopOffered&) = delete;

private:
    RecordsView* view_;
};

int progressOf(size_t n) {
    return static_cast<int>(std::min<size_t>(n, 0x7fffffff));
}

}  // namespace

std::string slowDisplayQuestion(uint32_t count) {
    char text[256];
    std::snprintf(
        text, sizeof text,
        "Showing %u records will be slow.\nAre you sure you want to do that?\n\nSelect Yes to continue or\n"
        "No to download records to a file\nwithout showing them.",
        count);
    return text;
}

std::string tooManyMessage(int fieldsPerRecord) {
    const auto f = static_cast<unsigned>(std::max(fieldsPerRecord, 1));
    char text[160];
    std::snprintf(text, sizeof text, "With %u Fields Per Record,\na maximum of %u records may\nbe retrieved.",
                  f, static_cast<unsigned>(RecordRetrieval::kMaxValues / f));
    return text;
}

std::string shortDownloadText(uint32_t arrived, uint32_t asked) {
    char text[96];
    std::snprintf(text, sizeof text, "Only %u of %u records arrived.", arrived, asked);
    return text;
}

namespace {

std::string saveQuestion(uint32_t arrived) {
    char text[64];
    std::snprintf(text, sizeof text, "\n\nSave these %u records?", arrived);
    return text;
}

}  // namespace

std::string shortDownloadQuestion(uint32_t arrived, uint32_t asked) {
    return shortDownloadText(arrived, asked) + saveQuestion(arrived);
}

std::string cutDownloadText(uint32_t arrived) {
    char text[96];
    std::snprintf(text, sizeof text, "The download was cut short after %u records.", arrived);
    return text;
}

std::string cutDownloadQuestion(uint32_t arrived) {
    return cutDownloadText(arrived) + saveQuestion(arrived);
}

namespace {

// A download that ended early: cut, for all records; short of its count otherwise.
std::string earlyEndText(const RetrievalOptions& options, uint32_t arrived, uint32_t asked) {
    return options.allRecords ? cutDownloadText(arrived) : shortDownloadText(arrived, asked);
}

std::string earlyEndQuestion(const RetrievalOptions& options, uint32_t arrived, uint32_t asked) {
    return earlyEndText(options, arrived, asked) + saveQuestion(arrived);
}

}  // namespace

std::string stopDownloadQuestion(bool allRecords, uint32_t arrived, uint32_t asked) {
    return (allRecords ? cutDownloadQuestion(arrived) : shortDownloadQuestion(arrived, asked)) + "\n\n" +
           RecordRetrieval::kGoOnText;
}

std::string recordFileProblem(const std::string& path, const std::string& reason) {
    return std::string(RecordRetrieval::kFileText) + "\n\n" + path + "\n" + reason;
}

uint32_t RecordRetrieval::maxRecords(int fieldsPerRecord) {
    const auto f = static_cast<uint64_t>(std::max(fieldsPerRecord, 1));
    return static_cast<uint32_t>((kMaxValues - 1) / f);
}

Host& RecordRetrieval::host() {
    return transfer_.exchange().host();
}

RetrievalOutcome RecordRetrieval::chooseRecordFile(const RetrievalOptions& options, std::string& path) {
    Host& h = host();
    if (options.path) {
        path = *options.path;
    } else {
        FileDialogSpec spec;
        spec.filter = kFileFilter;
        spec.defaultExt = kFileExt;
        spec.overwritePrompt = true;
        const auto chosen = h.saveFileName(spec);
        if (!chosen) return RetrievalOutcome::Cancelled;
        path = *chosen;
    }
    // Found out now, not after a download of minutes whose records would then have nowhere to go.
    std::string error;
    if (!files_.canCreate(path, error)) {
        warn(h, recordFileProblem(path, error));
        return RetrievalOutcome::FileFailed;
    }
    return RetrievalOutcome::Finished;
}

namespace {

// Reads a download into its buffer in blocks until it is full.
class RecordsReader final : public WaitReader {
public:
    RecordsReader(std::span<uint8_t> buffer, std::function<void(size_t)> progress)
        : buffer_(buffer), progress_(std::move(progress)) {}
    std::span<uint8_t> room() override {
        return buffer_.subspan(total_, std::min(RecordRetrieval::kReadBlock, buffer_.size() - total_));
    }
    WaitStep took(std::span<const uint8_t> bytes) override {
        if (bytes.empty()) return total_ >= buffer_.size() ? WaitStep::Over : WaitStep::GoesOn;
        total_ += bytes.size();
        if (progress_) progress_(total_);
        return total_ >= buffer_.size() ? WaitStep::Over : WaitStep::Progress;
    }
    size_t total() const { return total_; }

private:
    std::span<uint8_t> buffer_;
    std::function<void(size_t)> progress_;
    size_t total_ = 0;
};

}  // namespace

size_t RecordRetrieval::receiveRecords(std::span<uint8_t> buffer, Outcome& ended, Receiving* main) {
    ended = Outcome::done();
    if (buffer.empty()) return 0;
    std::function<void(size_t)> progress;
    if (main) progress = [this, main](size_t total) { showReceived(*main, total); };
    RecordsReader reader(buffer, std::move(progress));
    for (;;) {
        ended = transfer_.exchange().wait(downloadWait(buffer.size() - reader.total()), reader);
        // Stop: nothing more is read before the answer, and Cancel lets the download go on.
        if (ended.kind() != Outcome::Kind::Aborted || main == nullptr || host().closing()) break;
        main->stop = askStop(*main, reader.total());
        if (main->stop != Stop::None) break;
        if (view_) view_->downloadGoesOn();
    }
    return reader.total();
}

void RecordRetrieval::showReceived(const Receiving& main, size_t total) {
    host().setProgress(progressOf(total));
    if (main.options.allRecords && view_)
        view_->recordsSoFar(static_cast<uint32_t>(total / main.recordBytes));
}

RecordRetrieval::Stop RecordRetrieval::askStop(const Receiving& main, size_t total) {
    if (!main.options.askBeforeShortSave) return Stop::Keep;
    const auto arrived = static_cast<uint32_t>(total / main.recordBytes);
    switch (host().MyMessage(stopDownloadQuestion(main.options.allRecords, arrived, main.asked),
                             MsgButtons::YesNoCancel, MsgKind::Confirmation)) {
    case MsgResult::Yes:
        return Stop::Keep;
    case MsgResult::No:
        return Stop::Drop;
    default:
        return Stop::None;
    }
}

WaitRule RecordRetrieval::downloadWait(size_t bytes) {
    return {.limitMs = kDownloadBaseMs + static_cast<int64_t>(bytes / kDownloadBytesPerMs),
            .silentReads = kEmptyReadsTolerated,
            .beeps = false};
}

bool RecordRetrieval::keepShortDownload(const RetrievalOptions& options, uint32_t arrived, uint32_t asked) {
    if (options.askBeforeShortSave) return confirm(host(), earlyEndQuestion(options, arrived, asked));
    if (!options.quietShort) warn(host(), earlyEndText(options, arrived, asked));
    return true;
}

std::optional<uint32_t> RecordRetrieval::newestToAsk(std::span<const uint8_t> came,
                                                     std::optional<int64_t> clockBefore) {
    const std::vector<setup::RecordField> format = recordFormat(transfer_.model());
    const RecordBlock block(format, came);
    const std::optional<TimeFields> where = timeFieldsOf(format);
    if (!clockBefore || block.recordCount() == 0 || !where) return kNewestRecordsAsked;
    // The interval of the last records that came, as the archive reads a station's.
    std::vector<int64_t> times;
    for (size_t r = block.recordCount() - std::min(block.recordCount(), kIntervalRecords);
         r < block.recordCount(); ++r)
        if (const auto t = recordSeconds(block, r, *where)) times.push_back(*t);
    const int64_t interval = std::max<int64_t>(recordInterval(times), 1);
    if (!transfer_.GetClock().ok()) return std::nullopt;
    const std::optional<int64_t> now = clockSeconds(transfer_.model());
    if (!now) return std::nullopt;
    const int64_t logged = std::max<int64_t>(*now - *clockBefore, 0) / interval + 1;
    return static_cast<uint32_t>(
        std::min<int64_t>(logged + kNewestRecordsAsked, maxRecords(transfer_.model().fieldsPerRecord())));
}

bool RecordRetrieval::completeFromNewest(std::span<uint8_t> buffer, size_t& total, size_t recordBytes,
                                         std::optional<int64_t> clockBefore) {
    Exchange& ex = transfer_.exchange();
    // A record broken off is no end the instrument gives.
    if (total % recordBytes != 0 || !ex.port().isOpen() || host().closing()) return false;
    const std::optional<uint32_t> asked = newestToAsk(buffer.first(total), clockBefore);
    if (!asked || !ex.port().isOpen()) return false;
    std::vector<uint8_t> newest(size_t{*asked} * recordBytes);
    ex.SendCommand(commandText("CMD340 %u", *asked));
    // The answer's end is its silence: how the wait ended tells nothing more.
    Outcome silence = Outcome::done();
    const size_t got = receiveRecords(newest, silence);
    if (got % recordBytes != 0 || !ex.port().isOpen() || host().closing()) return false;
    const std::span<const uint8_t> answer = std::span<const uint8_t>(newest).first(got);
    // An empty memory answers with nothing again, and the instrument still answers a question:
    // one that stalled before its first record would not.
    if (total == 0) return got == 0 && transfer_.GetFieldsPerRecord().ok();
    const std::span<const uint8_t> last = buffer.subspan(total - recordBytes, recordBytes);
    for (size_t end = got; end >= recordBytes; end -= recordBytes) {
        if (!std::ranges::equal(answer.subspan(end - recordBytes, recordBytes), last)) continue;
        const std::span<const uint8_t> later =
            answer.subspan(end, std::min(answer.size() - end, buffer.size() - total));
        std::ranges::copy(later, buffer.begin() + static_cast<std::ptrdiff_t>(total));
        total += later.size();
        return true;
    }
    return false;
}

bool RecordRetrieval::saveRecordFile(std::string& path, std::string_view text, bool mayAskAgain) {
    Host& h = host();
    const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    for (;;) {
        std::string error;
        if (files_.writeFile(path, bytes, error)) {
            h.appendLine(std::string(kSavedLine) + path);
            return true;
        }
        if (!mayAskAgain) {
            warn(h, recordFileProblem(path, error));
            return false;
        }
        warn(h, recordFileProblem(path, error) + "\n\n" + kKeptText);
        FileDialogSpec spec;
        spec.filter = kFileFilter;
        spec.defaultExt = kFileExt;
        spec.overwritePrompt = true;
        const auto chosen = h.saveFileName(spec);
        if (!chosen) return false;
        path = *chosen;
    }
}

bool RecordRetrieval::stillShowing(bool show, uint32_t count) {
    if (!show || count < kSlowDisplayCount || confirm(host(), slowDisplayQuestion(count))) return show;
    if (view_) view_->uncheckShowRecords();
    return false;
}

Outcome RecordRetrieval::readRecordFormat(bool notice) {
    Host& h = host();
    if (notice) warn(h, kFormatText);
    if (view_ && !view_->mayReplaceRecordFormat()) return Outcome::refused();
    const WaitCursor hourglass(h);
    Outcome outcome = transfer_.GetFieldsPerRecord();
    if (outcome.ok()) {
        h.clock().sleepMs(kFormatPauseMs);
        outcome = transfer_.GetRecordFormats();
    }
    if (!outcome.ok()) MyCommError(h);
    return outcome;
}

std::optional<uint32_t> RecordRetrieval::recordsToAsk(const RetrievalOptions& options) {
    const int f = transfer_.model().fieldsPerRecord();
    const uint32_t n = options.allRecords ? maxRecords(f) : options.count;
    if (uint64_t{static_cast<unsigned>(f)} * n >= kMaxValues) {
        warn(host(), tooManyMessage(f));
        return std::nullopt;
    }
    return n;
}

bool RecordRetrieval::allocateRecords(size_t bytes, std::vector<uint8_t>& buffer) {
    try {
        buffer.resize(bytes);
    } catch (const std::bad_alloc&) {
        host().appendLine("CANNOT ALLOCATE MEMORY");
        return false;
    }
    return true;
}

size_t RecordRetrieval::downloadRecords(const RetrievalOptions& options, uint32_t n,
                                        std::span<uint8_t> buffer, size_t recordBytes, Outcome& ended,
                                        Stop& stop) {
    Host& h = host();
    // All records: the most the format allows is asked for, far more than the instrument holds.
    h.setProgressMax(options.allRecords ? Host::kUnknownTotal : progressOf(buffer.size()));
    h.appendLine("DOWNLOADING RECORDS...");
    h.pump();
    transfer_.exchange().SendCommand(commandText("CMD340 %u", n));
    Receiving main{options, n, recordBytes};
    size_t total = 0;
    {
        const StopOffered stopOffered(view_);
        total = receiveRecords(buffer, ended, &main);
    }
    stop = main.stop;
    if (options.allRecords) {
        h.setProgressMax(progressOf(std::max<size_t>(total, 1)));
        h.setProgress(progressOf(total));
    }
    if ((options.allRecords || options.countMayExceedHeld) && !ended.ok() && stop == Stop::None &&
        completeFromNewest(buffer, total, recordBytes, options.clockBefore))
        ended = Outcome::done();
    char totalLine[48];
    std::snprintf(totalLine, sizeof totalLine, "TOTAL BYTES: %u", static_cast<unsigned>(total));
    h.appendLine(totalLine);
    h.pump();
    return total;
}

RetrievalOutcome RecordRetrieval::judgeDownload(const RetrievalOptions& options, uint32_t asked,
                                                uint32_t arrived, bool cutShort, Stop stop) {
    Host& h = host();
    // Stopped by the user, who was asked already (a script is told); no whole record is nothing
    // to keep.
    if (stop != Stop::None) {
        if (stop == Stop::Keep && !options.askBeforeShortSave) warn(h, earlyEndText(options, arrived, asked));
        if (stop == Stop::Keep && arrived > 0) return RetrievalOutcome::Short;
        h.setProgress(0);
        return RetrievalOutcome::Cancelled;
    }
    // A closed window, or silence before one whole record: nothing worth keeping came.
    if (cutShort && (h.closing() || arrived == 0)) {
        h.setProgress(0);
        MyCommError(h);
        return RetrievalOutcome::TimedOut;
    }
    if (!cutShort) return RetrievalOutcome::Finished;
    if (!keepShortDownload(options, arrived, asked)) {
        h.setProgress(0);
        return RetrievalOutcome::Cancelled;
    }
    return RetrievalOutcome::Short;
}

std::string RecordRetrieval::recordFileText(const RecordBlock& block, uint32_t arrived, size_t recordBytes,
                                            char delimiter, size_t& headerSize) {
    Host& h = host();
    h.appendLine("WRITING RECORDS TO FILE...");
    h.setProgressMax(progressOf(arrived));
    h.clock().sleepMs(kFileWritePauseMs);
    std::string file = recordFileHeader(block, delimiter, h.clock().localNow());
    headerSize = file.size();
    file.reserve(file.size() + size_t{arrived} * recordBytes * 3);
    for (size_t r = 0; r < block.recordCount(); r += kRecordsPerStep) {
        h.pump();
        h.setProgress(progressOf(r));
        appendRecordLines(file, block, r, kRecordsPerStep, delimiter);
    }
    h.setProgress(0);
    return file;
}

void RecordRetrieval::finishRetrieval(bool saved, bool pause) {
    Host& h = host();
    h.setProgress(0);
    if (pause) h.clock().sleepMs(kFinishPauseMs);
    transfer_.exchange().port().purge();
    h.appendLine(saved ? "FINISHED" : kNotSavedText);
}

RetrievalResult RecordRetrieval::ButtonGetRecordsClick(const RetrievalOptions& options) {
    Host& h = host();
    if (!transfer_.exchange().port().isOpen()) {
        warn(h, kPortClosedText);
        return {RetrievalOutcome::PortClosed};
    }
    // With every record asked for, their number is known only once they came.
    bool show = options.allRecords ? options.showRecords : stillShowing(options.showRecords, options.count);

    h.pump();
    // Off from the record format to the file's text, back as it was however the retrieval ends.
    std::optional<Timer1Off> timerOff(std::in_place, h);
    if (const Outcome format = options.formatRead ? Outcome::done() : readRecordFormat(options.formatNotice);
        !format.ok())
        return {format.kind() == Outcome::Kind::Refused ? RetrievalOutcome::Cancelled
                                                        : RetrievalOutcome::FormatFailed};
    const std::optional<uint32_t> n = recordsToAsk(options);
    if (!n) return {RetrievalOutcome::TooMany};
    std::string path;
    if (const RetrievalOutcome chosen =
            options.recordFile ? chooseRecordFile(options, path) : RetrievalOutcome::Finished;
        chosen != RetrievalOutcome::Finished)
        return {chosen};

    h.appendLine("GET RECORDS");
    const WaitCursor hourglass(h);
    // Below kMaxValues x 4 bytes, so the sizes and the total fit 32 bits.
    const size_t recordBytes = static_cast<size_t>(transfer_.model().fieldsPerRecord()) * kValueBytes;
    std::vector<uint8_t> buffer;
    if (!allocateRecords(size_t{*n} * recordBytes, buffer)) return {RetrievalOutcome::NoMemory};

    const ButtonOff buttonOff(view_);
    Outcome ended = Outcome::done();  // cut short by silence, the port's loss, the abort or Stop
    Stop stop = Stop::None;
    const size_t total = downloadRecords(options, *n, buffer, recordBytes, ended, stop);
    const bool cutShort = !ended.ok();
    // A partial last record is never kept.
    const auto arrived = static_cast<uint32_t>(total / recordBytes);
    const std::string cutText = earlyEndText(options, arrived, *n);
    const Outcome link = !cutShort                                ? Outcome::done()
                         : ended.kind() == Outcome::Kind::Aborted ? Outcome::aborted(cutText)
                                                                  : transfer_.exchange().failure(cutText);
    const RetrievalOutcome kept = judgeDownload(options, *n, arrived, cutShort, stop);
    if (kept != RetrievalOutcome::Finished && kept != RetrievalOutcome::Short)
        return {kept, static_cast<uint32_t>(total), 0, link};
    RetrievalResult result{kept, static_cast<uint32_t>(total), arrived, link};
    if (options.allRecords) show = stillShowing(show, arrived);

    const RecordBlock block(recordFormat(transfer_.model()), std::span<const uint8_t>(buffer).first(total));
    if (view_) view_->recordsRetrieved(block);
    if (!options.recordFile) {
        timerOff.reset();
        finishRetrieval(true, options.finishPause);
        return result;
    }
    size_t headerSize = 0;
    std::string file = recordFileText(block, arrived, recordBytes, options.delimiter, headerSize);
    timerOff.reset();
    if (!saveRecordFile(path, file, !options.path)) {
        result.outcome = RetrievalOutcome::FileFailed;
        result.recordsWritten = 0;
    }

    if (show && view_) {
        h.appendLine("SHOWING RECORDS...");
        showRecords(h, *view_, std::string_view(file).substr(headerSize), block.recordCount(),
                    options.delimiter);
    }
    std::string().swap(file);
    finishRetrieval(result.outcome != RetrievalOutcome::FileFailed, options.finishPause);
    return result;
}

void RecordRetrieval::showRecords(Host& h, RecordsView& view, std::string_view recordLines,
                                  size_t recordCount, char delimiter) {
    h.setProgressMax(progressOf(recordCount));
    std::string text;
    for (size_t r = 0; r < recordCount && !recordLines.empty(); r += kShowRecordsPerStep) {
        h.setProgress(progressOf(r));
        text.clear();
        recordLines = appendNumberedLines(text, recordLines, r + 1, kShowRecordsPerStep, delimiter);
        view.insertRecordText(text);
        h.pump();
        if (h.closing()) break;
    }
}

}  // namespace vrn::records
