#pragma once

#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/command_args.h"
#include "store/record_archive.h"

namespace vrn::cli {

struct Session;

// The options that name what to read from an archive: --station NAME, --from T, --to T.
struct ArchiveRange {
    std::string station;
    int64_t from = std::numeric_limits<int64_t>::min();
    int64_t to = std::numeric_limits<int64_t>::max();
};

// The range the options name; their times were checked when the command line was read.
ArchiveRange archiveRangeOf(const ArchiveRangeArgs& given);

// Opens the archive; none after an error line.
std::unique_ptr<store::RecordArchive> openArchive(Session& s, const std::string& where);
// Opens an archive that is there, for a command that only reads it: a mistyped path makes nothing
// and is "no archive at PATH". None after an error line.
std::unique_ptr<store::RecordArchive> openArchiveToRead(Session& s, const std::string& where);

// Reads the range's records; the exit status after an error line when there are none or they
// cannot be read, 0 when they were.
int readArchiveRange(Session& s, store::RecordArchive& archive, const std::string& where,
                     const ArchiveRange& range, store::StoredRecords& records);

}  // namespace vrn::cli
