#include "cli/archive_options.h"

#include "cli/session.h"
#include "core/records/record_keys.h"

namespace vrn::cli {

bool takeArchiveRange(Session& s, std::vector<std::string>& args, ArchiveRange& range) {
    std::vector<std::string> rest;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a != "--station" && a != "--from" && a != "--to") {
            rest.push_back(a);
            continue;
        }
        if (i + 1 >= args.size() || args[i + 1].empty()) {
            s.host.error(a + " needs a value");
            return false;
        }
        const std::string& value = args[++i];
        if (a == "--station") {
            range.station = value;
            continue;
        }
        const auto t = records::parseUtcTime(value, a == "--to");
        if (!t) {
            s.host.error(
                a +
                " takes a UTC time as YYYY-MM-DD, YYYY-MM-DD HH:MM or YYYY-MM-DD HH:MM:SS, not: " + value);
            return false;
        }
        (a == "--from" ? range.from : range.to) = *t;
    }
    args = rest;
    return true;
}

std::unique_ptr<store::RecordArchive> openArchive(Session& s, const std::string& where) {
    std::string error;
    auto archive = store::RecordArchive::open(where, error);
    if (!archive) s.host.error("cannot open the archive " + where + ": " + error);
    return archive;
}

int readArchiveRange(Session& s, store::RecordArchive& archive, const std::string& where,
                     const ArchiveRange& range, store::StoredRecords& records) {
    std::string error;
    const auto station = archive.station(range.station, error);
    if (!station) {
        if (!error.empty()) {
            s.host.error("cannot read the archive " + where + ": " + error);
            return kExitArchive;
        }
        std::string known;
        for (const std::string& name : archive.stationNames(error))
            known += (known.empty() ? "" : ", ") + name;
        s.host.error("no station \"" + range.station + "\" in " + where +
                     (known.empty() ? std::string(" (it has none)") : " (it has: " + known + ")"));
        return kExitUsage;
    }
    if (!archive.read(range.station, range.from, range.to, records, error)) {
        s.host.error("cannot read the archive " + where + ": " + error);
        return records.formatChangedAt ? kExitUsage : kExitArchive;
    }
    if (records.utc.empty()) {
        s.host.error("station \"" + range.station + "\" has no records in " + where +
                     " in the times asked for");
        return kExitUsage;
    }
    return kExitOk;
}

}  // namespace vrn::cli
