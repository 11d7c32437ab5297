#pragma once
// The archive's rows as a collection and a copy from another archive write them, each inside the
// transaction open on the connection.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "store/record_archive.h"
#include "store/record_keying.h"
#include "store/record_rows.h"

class QSqlDatabase;
class QSqlQuery;

namespace vrn::store {

// The archive's open connection.
QSqlDatabase databaseOf(const RecordArchive& archive);

// Runs a prepared query; false with the database's reason when it fails.
bool execPrepared(QSqlQuery& q, std::string& error);

// Holds the station's row until the transaction ends, so that no other writer keys the station's
// records meanwhile; held is the station as the archive has it, none when it has no row for it.
bool lockStation(QSqlDatabase& db, const std::string& station, std::optional<StationInfo>& held,
                 std::string& error);

// The time of the station's newest record; none when it has none.
bool newestRecord(QSqlDatabase& db, const std::string& station, std::optional<int64_t>& newest,
                  std::string& error);

// Inserts the rows each database's quickest way; records already held are left as they are and
// added counts the new ones.
bool insertRecordRows(QSqlDatabase& db, bool postgres, const std::string& station, const RecordRows& rows,
                      size_t& added, std::string& error);

// The station's former clock offsets, newest first.
bool offsetChanges(QSqlDatabase& db, const std::string& station, std::vector<OffsetChange>& changes,
                   std::string& error);
// Keeps a former offset of the station (one held already is left as it is).
bool addOffsetChange(QSqlDatabase& db, const std::string& station, const OffsetChange& change,
                     std::string& error);

// Writes the station's row: its clock offset, its serial number where given (taken from any
// other station that had it; else the one held is kept), and that its instrument sends its oldest
// records where so (else what is held is kept).
bool putStation(QSqlDatabase& db, const StationInfo& station, std::string& error);

// One collection's row: what came, and what of it was new.
struct CollectionRow {
    std::string station;
    int64_t collectedAt = 0;
    size_t records = 0;
    size_t added = 0;
    size_t unkeyed = 0;
    // The span of the keyed records that came, whether they were all the instrument held, and
    // its clock minus the computer's.
    std::optional<int64_t> oldest;
    std::optional<int64_t> newest;
    bool wholeMemory = false;
    std::optional<int64_t> clockAhead;
};

// Adds a collection's row, of a format of `fields` fields; id is its number.
bool addCollection(QSqlDatabase& db, const CollectionRow& row, size_t fields, int64_t& id,
                   std::string& error);

// Adds collections' rows, many a statement (PostgreSQL: by COPY): `rows` with the field count of each; ids
// are their numbers, in order. The transaction must hold the archive for writing (SQLite numbers them on from
// the highest number held).
bool addCollections(QSqlDatabase& db, bool postgres,
                    const std::vector<std::pair<CollectionRow, size_t>>& rows, std::vector<int64_t>& ids,
                    std::string& error);

// A collection's record format.
struct CollectionFormat {
    int64_t collection = 0;
    const std::vector<setup::RecordField>* format = nullptr;
};

// Adds the record formats of collections, many fields a statement.
bool addFormats(QSqlDatabase& db, bool postgres, const std::vector<CollectionFormat>& formats,
                std::string& error);
// Sets what a collection added and the span of its keyed records, once they are stored.
bool setCollectionCounts(QSqlDatabase& db, int64_t id, const CollectionRow& row, std::string& error);

// Adds a collection attempt.
bool insertAttempt(QSqlDatabase& db, const Attempt& attempt, std::string& error);

// A record without a time: the collection and place that first brought it, its values, and its
// nearest keyed neighbours.
struct UnkeyedRecord {
    int64_t collection = 0;
    int64_t position = 0;  // from 1
    std::vector<float> values;
    Neighbours neighbours;
};

// Stores the record unless the station holds it already: the same values next to the same keyed
// neighbour (either one; one the held record lacks is filled in). With no keyed neighbour at all,
// the same values alone. added says whether it was new.
bool keepUnkeyed(QSqlDatabase& db, const std::string& station, const UnkeyedRecord& record, bool& added,
                 std::string& error);

}  // namespace vrn::store
