#pragma once
// Copying stations from one record archive into another, of either kind, adding only what the
// target lacks.

#include <cstddef>
#include <string>
#include <vector>

#include "store/record_archive.h"

namespace vrn::store {

// What a station's copy found in the source and how much of it the target lacked.
struct StationCopy {
    size_t records = 0;
    size_t addedRecords = 0;
    size_t unkeyed = 0;
    size_t addedUnkeyed = 0;
    size_t collections = 0;
    size_t addedCollections = 0;
    size_t attempts = 0;
    size_t addedAttempts = 0;
};

enum class CopyOutcome {
    Copied,
    // The two archives disagree about the station: its clock offsets, or the record format of a
    // time both hold. Nothing of it was written.
    Conflict,
    // An archive could not be read or written. Nothing of the station was written.
    Failed,
};

// The stations a copy goes through, by name: those held and those with only collection attempts.
std::vector<std::string> stationsToCopy(RecordArchive& from, std::string& error);

// Whether the two are one archive: one file under two names, one database behind two URLs.
bool sameArchive(RecordArchive& a, RecordArchive& b, bool& same, std::string& error);

// Copies what `to` lacks of the station held in `from`: its row, its former clock offsets, its
// collections with their record formats, its records with and without a time, and its
// collection attempts, all in one transaction of `to`. What `to` holds already is left as it is
// (collections and attempts are known by all they hold, records by their time). `from` is read
// as it was when the copy began.
CopyOutcome copyStation(RecordArchive& from, RecordArchive& to, const std::string& station, StationCopy& copy,
                        std::string& error);

}  // namespace vrn::store
