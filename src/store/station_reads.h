#pragma once
// A station's rows as a copy into another archive reads them.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "store/archive_tables.h"
#include "store/record_rows.h"

class QSqlDatabase;

namespace vrn::store {

struct StoredCollection {
    int64_t id = 0;
    CollectionRow row;
    std::vector<setup::RecordField> format;
};

// The station's collections with their record formats, in the order they were stored.
bool readCollections(QSqlDatabase& db, const std::string& station, std::vector<StoredCollection>& out,
                     std::string& error);

// The station's records without a time, each with the values of its collection's fields.
bool readUnkeyed(QSqlDatabase& db, const std::string& station,
                 const std::vector<StoredCollection>& collections, std::vector<UnkeyedRecord>& out,
                 std::string& error);

// Up to `limit` of the station's records after the time `after`, oldest first, with their first
// rows.fields values.
bool readRecords(QSqlDatabase& db, const std::string& station, int64_t after, size_t limit, RecordRows& rows,
                 std::string& error);

// The times and collections of the station's records from `from` to `to`, oldest first.
bool readKeys(QSqlDatabase& db, const std::string& station, int64_t from, int64_t to,
              std::vector<std::pair<int64_t, int64_t>>& keys, std::string& error);

}  // namespace vrn::store
