#include "cli/archive_commands.h"

#include <algorithm>
#include <bit>

#include "cli/archive_options.h"
#include "cli/outcome_exit.h"
#include "cli/output_target.h"
#include "cli/record_arguments.h"
#include "cli/session.h"
#include "core/io/file_store.h"
#include "core/records/collect_plan.h"
#include "core/records/record_keys.h"
#include "core/records/record_retrieval.h"
#include "core/records/record_text.h"
#include "core/setup/setup_model.h"
#include "core/setup/setup_transfer.h"
#include "store/archive_name.h"

namespace vrn::cli {
namespace {

// Records asked for when --count is not given: a day of a station logging every minute.
constexpr uint32_t kDefaultCollectCount = 1440;

// Keeps the records of a complete download for the archive.
class Collector final : public records::RecordsView {
public:
    void uncheckShowRecords() override {}
    void setGetRecordsEnabled(bool) override {}
    void insertRecordText(std::string_view) override {}
    void recordsRetrieved(const records::RecordBlock& block) override {
        format.clear();
        for (size_t k = 0; k < block.fieldCount(); ++k)
            format.push_back(block.field(k));
        bytes.clear();
        bytes.reserve(block.recordCount() * block.fieldCount() * records::kValueBytes);
        for (size_t r = 0; r < block.recordCount(); ++r)
            for (size_t k = 0; k < block.fieldCount(); ++k) {
                const auto bits = std::bit_cast<uint32_t>(block.value(r, k));
                for (int shift = 0; shift < 32; shift += 8)
                    bytes.push_back(static_cast<uint8_t>(bits >> shift));
            }
    }

    std::vector<setup::RecordField> format;
    std::vector<uint8_t> bytes;
};

// The offset a collection keys its records with; none after an error line when the one given
// differs from the station's (its records would be keyed a second time).
std::optional<int> collectOffset(Session& s, const CollectArgs& args, const std::string& station,
                                 const std::optional<store::StationInfo>& known) {
    // The offsets were checked when the command line was read.
    if (args.newUtcOffset) return records::parseUtcOffset(*args.newUtcOffset);
    if (!args.utcOffset) return known ? known->utcOffsetMinutes : 0;
    const std::optional<int> given = records::parseUtcOffset(*args.utcOffset);
    if (known && given && *given != known->utcOffsetMinutes) {
        const std::string held = records::utcOffsetText(known->utcOffsetMinutes);
        const std::string asked = records::utcOffsetText(*given);
        s.host.error("station " + station + " is held with the UTC offset " + held + ", not " + asked +
                     ": if the station's clock now keeps " + asked + ", give --new-utc-offset " + asked +
                     " (it applies to the records after the newest one held); otherwise --utc-offset " +
                     held);
        return std::nullopt;
    }
    return given;
}

// The instrument's clock as the Setup's date and time boxes hold it, in UTC seconds.
std::optional<int64_t> instrumentUtc(const setup::SetupModel& model, int utcOffsetMinutes) {
    const std::optional<int64_t> local = records::clockSeconds(model);
    if (!local) return std::nullopt;
    return *local - int64_t{utcOffsetMinutes} * 60;
}

// The whole records that came, by their UTC times.
records::RecordsCame recordsCame(const Collector& collector, int utcOffsetMinutes) {
    records::RecordsCame came;
    const records::RecordBlock block(collector.format, collector.bytes);
    came.records = static_cast<uint32_t>(block.recordCount());
    const auto where = records::timeFieldsOf(collector.format);
    if (!where) return came;
    for (size_t r = 0; r < block.recordCount(); ++r) {
        const auto local = records::recordSeconds(block, r, *where);
        if (!local) continue;
        const int64_t utc = *local - int64_t{utcOffsetMinutes} * 60;
        came.oldest = std::min(came.oldest.value_or(utc), utc);
        came.newest = std::max(came.newest.value_or(utc), utc);
    }
    return came;
}

// The archive's side of a collection without a count: what it holds of the station.
struct HeldRecords {
    std::optional<int64_t> newest;
    int64_t interval = records::kDefaultIntervalSeconds;
};

// What a collection attempt leaves for its row in the archive.
struct AttemptTrace {
    std::optional<std::string> station;
    size_t records = 0;
    size_t added = 0;
    std::optional<int64_t> startUs;  // the port opened
    std::optional<int64_t> endUs;    // the download ended
};

int collectInto(Session& s, const CollectArgs& args, store::RecordArchive& archive, AttemptTrace& trace) {
    const std::optional<std::string>& stationName = args.station;
    uint32_t count = kDefaultCollectCount;
    const bool allRecords = args.count == "all";
    if (!args.count.empty() && !allRecords) parseCount(args.count, count);
    const std::string shown = store::redactedArchive(args.archive);
    std::string error;
    auto unreadable = [&] {
        s.host.error("cannot read the archive " + shown + ": " + error);
        return kExitArchive;
    };
    // A named station's offset is checked before anything is asked of the instrument; otherwise
    // the station is found by the serial number of the port's bridge, still before any command.
    std::optional<store::StationInfo> known;
    if (stationName) known = archive.station(*stationName, error);
    if (!error.empty()) return unreadable();
    std::optional<int> utcOffset;
    trace.station = stationName;
    if (stationName && !(utcOffset = collectOffset(s, args, *stationName, known))) return kExitUsage;
    trace.startUs = s.env.clock.nowUs();
    if (!s.openLink()) return kExitFailed;
    const std::optional<std::string> serial = s.result.port->usbSerial;
    if (!stationName && serial) known = archive.stationWithSerial(*serial, error);
    if (!error.empty()) return unreadable();
    if (!stationName && !known) {
        s.host.error(serial ? "the archive knows no station with the instrument's USB serial number " +
                                  *serial + ": name it once with --station NAME"
                            : std::string("the instrument's USB serial number is not known: name the station "
                                          "with --station NAME"));
        return kExitUsage;
    }
    const std::string station = stationName ? *stationName : known->name;
    trace.station = station;
    if (!utcOffset && !(utcOffset = collectOffset(s, args, station, known))) return kExitUsage;

    // The records are keyed by their Date and Time fields: a format without them is refused before
    // anything is downloaded.
    setup::SetupModel model;
    setup::SetupTransfer transfer(*s.exchange, model);
    Outcome format = transfer.GetFieldsPerRecord();
    if (format.ok()) format = transfer.GetRecordFormats();
    if (!format.ok()) {
        MyCommError(s.host);
        return exitStatusOf(format, s.result);
    }
    if (!records::timeFieldsOf(records::recordFormat(model))) {
        s.host.error(
            "the instrument's record format has no Date field and Time field, so its records cannot be "
            "archived by their time: add both fields to the record format (Setup page, send-setup) first");
        return kExitUsage;
    }

    // Without a count, what is new: from the archive's newest record, the instrument's clock and the
    // interval of the archive's last records, with a margin, widened until it reaches back to what
    // the archive holds. A station with none held, or whose instrument sends its oldest records for
    // a count, is downloaded whole (the archive adds only the new).
    const bool newOnly = args.count.empty();
    const uint32_t most = records::RecordRetrieval::maxRecords(model.fieldsPerRecord());
    HeldRecords held;
    std::optional<int64_t> instrumentNow;
    std::optional<int64_t> clockAhead;
    const bool sendsOldest = known && known->sendsOldest;
    // The clock and the interval also judge a download of all that the instrument's silence ended.
    if (newOnly || allRecords) {
        const std::vector<int64_t> times =
            archive.newestTimes(station, static_cast<int>(records::kIntervalRecords), error);
        if (!error.empty()) return unreadable();
        held.interval = records::recordInterval(times);
        if (const Outcome clock = transfer.GetClock(); !clock.ok()) {
            MyCommError(s.host);
            return exitStatusOf(clock, s.result);
        }
        instrumentNow = instrumentUtc(model, *utcOffset);
        if (instrumentNow) clockAhead = *instrumentNow - s.env.clock.wallSeconds();
    }
    if (newOnly) {
        if (const auto span = archive.timeSpan(station, error)) held.newest = span->second;
        if (!error.empty()) return unreadable();
        const bool whole = !held.newest || sendsOldest || !instrumentNow;
        count = whole ? most : records::newRecordsToAsk(held.newest, *instrumentNow, held.interval, most);
    }

    Collector collector;
    records::RetrievalOptions options;
    options.count = count;
    options.allRecords = allRecords || (newOnly && count >= most);
    options.countMayExceedHeld = newOnly;
    // What a silence ended is judged below, with the instrument's clock.
    options.quietShort = newOnly || allRecords;
    options.formatNotice = false;
    // Read above; the pause before the closing purge is of no use to a command that ends there.
    options.formatRead = true;
    options.finishPause = false;
    // Against a clock that runs fast, the newest records asked for after a download's closing
    // silence must reach back across the many logged during it.
    if (instrumentNow) options.clockBefore = records::clockSeconds(model);
    // A download cut short is reported and its whole records are stored: they are keyed, so the
    // next collection adds only what is missing, and none is lost to the instrument's overwriting.
    options.askBeforeShortSave = false;
    options.recordFile = false;
    records::RecordRetrieval retrieval(transfer, s.env.files, &collector);
    records::RetrievalResult retrieved = retrieval.ButtonGetRecordsClick(options);
    while (newOnly && !options.allRecords && retrieved.outcome == records::RetrievalOutcome::Finished) {
        const records::CollectStep step =
            records::judgeNewRecords(held.newest, *instrumentNow, held.interval, options.count, most,
                                     recordsCame(collector, *utcOffset));
        if (step == records::CollectStep::Done) break;
        if (step == records::CollectStep::OldestFirst) {
            s.host.appendLine("THE INSTRUMENT SENDS ITS OLDEST RECORDS FOR A COUNT: DOWNLOADING ALL");
            if (!archive.setSendsOldest(station, error)) return unreadable();
            options.allRecords = true;
        } else {
            options.count = records::widenedCount(options.count, most);
            options.allRecords = options.count >= most;
            s.host.appendLine("THE RECORDS DO NOT REACH THE ARCHIVE'S NEWEST: ASKING FOR " +
                              (options.allRecords ? std::string("ALL") : std::to_string(options.count)));
        }
        retrieved = retrieval.ButtonGetRecordsClick(options);
    }
    // An instrument that sends its oldest records ends a download of all in silence however it
    // went: it is whole when its newest record reaches the instrument's clock.
    if (instrumentNow && retrieved.outcome == records::RetrievalOutcome::Short &&
        records::reachesClock(recordsCame(collector, *utcOffset), *instrumentNow, held.interval)) {
        s.host.appendLine("THE RECORDS REACH THE INSTRUMENT'S CLOCK: THE DOWNLOAD IS WHOLE");
        retrieved.outcome = records::RetrievalOutcome::Finished;
        retrieved.link = Outcome::done();
    }
    keepFailure(retrieved.link, s.result);
    trace.endUs = s.env.clock.nowUs();
    trace.records =
        retrieved.totalBytes / (static_cast<size_t>(model.fieldsPerRecord()) * records::kValueBytes);
    const records::RetrievalOutcome outcome = retrieved.outcome;
    if (outcome != records::RetrievalOutcome::Finished && outcome != records::RetrievalOutcome::Short)
        return retrievalExitStatus(outcome);

    store::Collection collection;
    collection.station = station;
    collection.usbSerial = serial;
    collection.utcOffsetMinutes = *utcOffset;
    collection.newUtcOffset = args.newUtcOffset.has_value();
    collection.collectedAt = s.env.clock.wallSeconds();
    collection.format = std::move(collector.format);
    collection.bytes = std::move(collector.bytes);
    // A whole download of all, or of fewer records than asked, is everything the instrument held.
    collection.wholeMemory = outcome == records::RetrievalOutcome::Finished &&
                             (options.allRecords || trace.records < options.count);
    collection.clockAhead = clockAhead;
    s.host.appendLine("STORING RECORDS IN " + shown + "...");
    store::StoreSummary summary;
    if (!archive.store(collection, summary, error)) {
        s.host.error("cannot store the records in " + shown + " (it is left as it was): " + error);
        return kExitArchive;
    }
    trace.added = summary.added + summary.unkeyedAdded;
    s.host.appendLine("RECORDS: " + std::to_string(summary.records) +
                      ", NEW: " + std::to_string(summary.added) +
                      ", WITHOUT DATE OR TIME: " + std::to_string(summary.unkeyed));
    s.host.appendLine(
        "NEWEST: " + (summary.newest ? records::utcTimeText(*summary.newest) + " UTC" : std::string("NONE")));
    s.result.data = {
        {"station", QString::fromStdString(station)},
        {"records", static_cast<qint64>(summary.records)},
        {"new", static_cast<qint64>(summary.added)},
        {"withoutDateOrTime", static_cast<qint64>(summary.unkeyed)},
        {"newest", summary.newest ? QJsonValue(QString::fromStdString(records::utcTimeText(*summary.newest)))
                                  : QJsonValue()}};
    if (outcome == records::RetrievalOutcome::Short) {
        s.host.error("the download was cut short: the " + std::to_string(summary.records) +
                     " whole records that came were stored, the rest were not");
        return retrievalExitStatus(outcome);
    }
    return kExitOk;
}

// The attempt's kind: the failed transfer's, else what the exit status says.
std::string attemptOutcome(const CommandResult& result, int status) {
    if (status == kExitOk) return "ok";
    if (status == kExitShortDownload) return "cut";
    if (result.failure) return result.failure->kind;
    if (status == kExitUsage) return "refused";
    if (status == kExitArchive) return "archive";
    return "failed";
}

}  // namespace

int runCollect(Session& s, const CollectArgs& args) {
    const auto archive = openArchive(s, args.archive);
    if (!archive) return kExitArchive;
    AttemptTrace trace;
    const int status = collectInto(s, args, *archive, trace);
    // Every attempt at a known station is kept, the failed ones too, while the archive answers.
    if (!trace.station) return status;
    store::Attempt attempt;
    attempt.station = *trace.station;
    attempt.attemptedAt = s.env.clock.wallSeconds();
    attempt.outcome = attemptOutcome(s.result, status);
    if (status != kExitOk) {
        if (s.result.failure && !s.result.failure->reason.empty())
            attempt.reason = s.result.failure->reason;
        else if (!s.result.log.errors.empty())
            attempt.reason = s.result.log.errors.back();
    }
    attempt.records = trace.records;
    attempt.added = trace.added;
    if (trace.startUs)
        attempt.wireSeconds =
            static_cast<double>(trace.endUs.value_or(s.env.clock.nowUs()) - *trace.startUs) / 1e6;
    std::string error;
    if (!archive->addAttempt(attempt, error)) {
        s.host.error("cannot record the attempt in " + store::redactedArchive(args.archive) + ": " + error);
        return status == kExitOk ? kExitArchive : status;
    }
    return status;
}

int runExport(Session& s, const ExportArgs& args) {
    const ArchiveRange range = archiveRangeOf(args.range);
    char delimiter = ',';
    parseDelimiter(args.delimiter, delimiter);
    const std::string& where = args.archive;
    const std::string& out = args.out;
    if (!claimOutputFile(s, out)) return kExitUsage;
    const auto archive = openArchiveToRead(s, where);
    if (!archive) return kExitArchive;
    store::StoredRecords stored;
    if (const int status = readArchiveRange(s, *archive, where, range, stored); status != kExitOk)
        return status;

    const records::RecordBlock block(stored.format, stored.bytes);
    std::string file = records::recordFileHeader(block, delimiter, s.env.clock.localNow());
    records::appendRecordLines(file, block, 0, block.recordCount(), delimiter);
    std::string error;
    if (!s.env.files.writeFile(out, {reinterpret_cast<const uint8_t*>(file.data()), file.size()}, error)) {
        s.host.error("cannot write " + out + ": " + error);
        return kExitUsage;
    }
    s.host.appendLine("RECORDS: " + std::to_string(block.recordCount()) + ", FROM " +
                      records::utcTimeText(stored.utc.front()) + " UTC TO " +
                      records::utcTimeText(stored.utc.back()) + " UTC");
    s.result.data = {{"records", static_cast<qint64>(block.recordCount())},
                     {"from", QString::fromStdString(records::utcTimeText(stored.utc.front()))},
                     {"to", QString::fromStdString(records::utcTimeText(stored.utc.back()))}};
    return kExitOk;
}

}  // namespace vrn::cli
