#include "cli/archive_options.h"

#include "cli/session.h"
#include "core/records/record_keys.h"
#include "store/archive_name.h"

namespace vrn::cli {

ArchiveRange archiveRangeOf(const ArchiveRangeArgs& given) {
    ArchiveRange range;
    range.station = given.station;
    // A --to date alone takes in its whole day.
    if (given.from) range.from = records::parseUtcTime(*given.from, false).value_or(range.from);
    if (given.to) range.to = records::parseUtcTime(*given.to, true).value_or(range.to);
    return range;
}

namespace {

std::unique_ptr<store::RecordArchive> open(Session& s, const std::string& where,
                                           store::RecordArchive::Access access) {
    std::string error;
    auto archive = store::RecordArchive::open(where, error, access);
    if (!archive) s.host.error("cannot open the archive " + store::redactedArchive(where) + ": " + error);
    return archive;
}

}  // namespace

std::unique_ptr<store::RecordArchive> openArchive(Session& s, const std::string& where) {
    return open(s, where, store::RecordArchive::Access::MakeIfMissing);
}

std::unique_ptr<store::RecordArchive> openArchiveToRead(Session& s, const std::string& where) {
    if (store::RecordArchive::isMissing(where)) {
        s.host.error("no archive at " + where);
        return nullptr;
    }
    return open(s, where, store::RecordArchive::Access::MustExist);
}

int readArchiveRange(Session& s, store::RecordArchive& archive, const std::string& where,
                     const ArchiveRange& range, store::StoredRecords& records) {
    std::string error;
    const auto station = archive.station(range.station, error);
    if (!station) {
        if (!error.empty()) {
            s.host.error("cannot read the archive " + store::redactedArchive(where) + ": " + error);
            return kExitArchive;
        }
        std::string known;
        for (const std::string& name : archive.stationNames(error))
            known += (known.empty() ? "" : ", ") + name;
        s.host.error("no station \"" + range.station + "\" in " + store::redactedArchive(where) +
                     (known.empty() ? std::string(" (it has none)") : " (it has: " + known + ")"));
        return kExitUsage;
    }
    if (!archive.read(range.station, range.from, range.to, records, error)) {
        s.host.error("cannot read the archive " + store::redactedArchive(where) + ": " + error);
        return records.formatChangedAt ? kExitUsage : kExitArchive;
    }
    if (records.utc.empty()) {
        s.host.error("station \"" + range.station + "\" has no records in " + store::redactedArchive(where) +
                     " in the times asked for");
        return kExitUsage;
    }
    return kExitOk;
}

}  // namespace vrn::cli
