#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/records/station_health.h"
#include "core/setup/setup_model.h"

class QSqlDatabase;

namespace vrn::store {

// One download as it is stored: which station, when, the record format it was read with and its
// records as they came (N x F little-endian singles).
struct Collection {
    std::string station;
    std::optional<std::string> usbSerial;
    int utcOffsetMinutes = 0;  // the instrument's clock minus UTC
    // The station's clock was set to another offset (a daylight-saving change): utcOffsetMinutes
    // replaces the one held from the first record after the newest one held. Without it a station
    // held with another offset is refused, as its records would be keyed a second time.
    bool newUtcOffset = false;
    int64_t collectedAt = 0;  // UTC seconds
    std::vector<setup::RecordField> format;
    std::vector<uint8_t> bytes;
    // Every record the instrument held came (all of them, or fewer than asked): it held none older.
    bool wholeMemory = false;
    // The instrument's clock minus the computer's, in seconds, when the collection read it.
    std::optional<int64_t> clockAhead;
};

// What a stored collection brought.
struct StoreSummary {
    size_t records = 0;
    size_t added = 0;               // records the archive did not hold yet
    size_t unkeyed = 0;             // records without a date or time
    size_t unkeyedAdded = 0;        // of those, the ones the archive did not hold yet
    std::optional<int64_t> newest;  // the newest record's time, UTC seconds
};

struct StationInfo {
    std::string name;
    std::optional<std::string> usbSerial;
    int utcOffsetMinutes = 0;
    // The instrument answers a count with its oldest records: a collection downloads them all.
    bool sendsOldest = false;
};

// One collection attempt, whatever became of it.
struct Attempt {
    std::string station;
    int64_t attemptedAt = 0;  // UTC seconds
    std::string outcome;      // "ok", or how it failed: "failed", "portGone", "refused", "cut", ...
    std::string reason;       // the line that said why; empty when it went well
    size_t records = 0;       // records that came
    size_t added = 0;         // of those, the ones the archive did not hold
    double wireSeconds = 0;   // from opening the port to the end of the download
};

// A station's records of a time range, oldest first, all of one record format.
struct StoredRecords {
    std::vector<setup::RecordField> format;
    std::vector<uint8_t> bytes;  // as the instrument sent them; a missing value is a NaN
    std::vector<int64_t> utc;
    // Set when the read failed because the format changed at this record (UTC seconds).
    std::optional<int64_t> formatChangedAt;
};

// The record archive: one row per record keyed by station and UTC time, the record format of each
// collection, and the stations with their instruments' USB serial numbers. A file path is a
// SQLite database (made on first use), a postgresql:// URL a PostgreSQL database.
class RecordArchive {
public:
    // The most fields a record has: the rows have a column for each.
    static constexpr int kMaxFields = 25;

    // A command that only reads opens with MustExist: a SQLite file that is not there is not made.
    enum class Access { MakeIfMissing, MustExist };

    // Opens the archive and makes its tables if they are missing; none, with the reason in
    // error, when it cannot.
    static std::unique_ptr<RecordArchive> open(const std::string& where, std::string& error,
                                               Access access = Access::MakeIfMissing);
    // Whether where names a SQLite file that is not there (a PostgreSQL URL never is missing).
    static bool isMissing(const std::string& where);
    ~RecordArchive();
    RecordArchive(const RecordArchive&) = delete;
    RecordArchive& operator=(const RecordArchive&) = delete;

    bool isPostgres() const { return postgres_; }

    // The version of the tables this program makes; older archives are brought up to it on open.
    static constexpr int kSchemaVersion = 5;

    // Stores a collection in one transaction: its format, every record not yet held (records
    // already there are kept as they are), the records that have no time and are not held yet,
    // and the station with its serial number and clock offset. On failure nothing of it is
    // stored. A PostgreSQL connection lost since the last use (a server restart) is opened again.
    bool store(const Collection& collection, StoreSummary& summary, std::string& error);

    std::optional<StationInfo> station(const std::string& name, std::string& error);
    // The station whose instrument has this USB serial number.
    std::optional<StationInfo> stationWithSerial(const std::string& serial, std::string& error);
    std::vector<std::string> stationNames(std::string& error);
    // The times of a station's oldest and newest records (UTC seconds); none when it has none.
    std::optional<std::pair<int64_t, int64_t>> timeSpan(const std::string& station, std::string& error);

    // The times of the station's newest `count` records, newest first.
    std::vector<int64_t> newestTimes(const std::string& station, int count, std::string& error);
    // Adds a collection attempt; the station's attempts, oldest first.
    bool addAttempt(const Attempt& attempt, std::string& error);
    std::vector<Attempt> attempts(const std::string& station, std::string& error);
    // Remembers that the station's instrument answers a count with its oldest records.
    bool setSendsOldest(const std::string& station, std::string& error);

    // Every station the archive knows: those it holds records of and those with attempts only.
    std::vector<std::string> knownStations(std::string& error);
    // What the archive tells of a station's health: its collections, attempts and interval.
    bool stationFacts(const std::string& station, records::StationFacts& facts, std::string& error);

    // The station's records from `from` to `to` (UTC seconds, both included). False when they
    // cannot be read or were collected with different record formats.
    bool read(const std::string& station, int64_t from, int64_t to, StoredRecords& out, std::string& error);

private:
    friend QSqlDatabase databaseOf(const RecordArchive& archive);
    RecordArchive(std::string connection, bool postgres)
        : connection_(std::move(connection)), postgres_(postgres) {}
    bool makeTables(std::string& error);
    bool migrate(int from, std::string& error);
    // Opens the PostgreSQL connection again when it was lost, waiting a while for the server.
    bool reconnectIfLost(std::string& error);

    std::string connection_;
    bool postgres_ = false;
};

}  // namespace vrn::store
