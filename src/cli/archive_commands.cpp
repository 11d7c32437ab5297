#include "cli/archive_commands.h"

#include <bit>

#include "cli/archive_options.h"
#include "cli/outcome_exit.h"
#include "cli/output_target.h"
#include "cli/record_arguments.h"
#include "cli/session.h"
#include "core/io/file_store.h"
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

}  // namespace

int runCollect(Session& s, const CollectArgs& args) {
    const std::optional<std::string>& stationName = args.station;
    uint32_t count = kDefaultCollectCount;
    const bool allRecords = args.count == "all";
    if (!args.count.empty() && !allRecords) parseCount(args.count, count);
    const std::string& where = args.archive;
    const std::string shown = store::redactedArchive(where);
    const auto archive = openArchive(s, where);
    if (!archive) return kExitArchive;

    std::string error;
    auto unreadable = [&] {
        s.host.error("cannot read the archive " + shown + ": " + error);
        return kExitArchive;
    };
    // A named station's offset is checked before anything is asked of the instrument; otherwise
    // the station is found by the serial number of the port's bridge, still before any command.
    std::optional<store::StationInfo> known;
    if (stationName) known = archive->station(*stationName, error);
    if (!error.empty()) return unreadable();
    std::optional<int> utcOffset;
    if (stationName && !(utcOffset = collectOffset(s, args, *stationName, known))) return kExitUsage;
    if (!s.openLink()) return kExitFailed;
    const std::optional<std::string> serial = s.result.port->usbSerial;
    if (!stationName && serial) known = archive->stationWithSerial(*serial, error);
    if (!error.empty()) return unreadable();
    if (!stationName && !known) {
        s.host.error(serial ? "the archive knows no station with the instrument's USB serial number " +
                                  *serial + ": name it once with --station NAME"
                            : std::string("the instrument's USB serial number is not known: name the station "
                                          "with --station NAME"));
        return kExitUsage;
    }
    const std::string station = stationName ? *stationName : known->name;
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

    Collector collector;
    records::RetrievalOptions options;
    options.count = count;
    options.allRecords = allRecords;
    options.formatNotice = false;
    // A download cut short is reported and its whole records are stored: they are keyed, so the
    // next collection adds only what is missing, and none is lost to the instrument's overwriting.
    options.askBeforeShortSave = false;
    options.recordFile = false;
    records::RecordRetrieval retrieval(transfer, s.env.files, &collector);
    const records::RetrievalResult retrieved = retrieval.ButtonGetRecordsClick(options);
    keepFailure(retrieved.link, s.result);
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
    s.host.appendLine("STORING RECORDS IN " + shown + "...");
    store::StoreSummary summary;
    if (!archive->store(collection, summary, error)) {
        s.host.error("cannot store the records in " + shown + " (it is left as it was): " + error);
        return kExitArchive;
    }
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
