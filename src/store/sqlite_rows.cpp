#include "store/sqlite_rows.h"

#include <sqlite3.h>

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>
#include <cmath>
#include <limits>
#include <memory>

namespace vrn::store {
namespace {

using Statement = std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)>;

// SQLite's connection under Qt's; none, with the reason, when the driver is not Qt's SQLite one.
sqlite3* connectionOf(const QSqlDatabase& db, std::string& error) {
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) {
        error = "the archive's connection is not a SQLite one";
        return nullptr;
    }
    return *static_cast<sqlite3* const*>(handle.constData());
}

Statement prepared(sqlite3* connection, const std::string& sql, std::string& error) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(connection, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
        error = sqlite3_errmsg(connection);
    return Statement(statement, sqlite3_finalize);
}

}  // namespace

bool insertSqliteRows(const QSqlDatabase& db, const std::string& station, const RecordRows& rows,
                      size_t& added, std::string& error) {
    sqlite3* connection = connectionOf(db, error);
    if (!connection) return false;
    const auto fields = static_cast<int>(rows.fields);
    std::string sql = "INSERT INTO vrn_records (station, utc, collection_id";
    std::string marks = "?, ?, ?";
    for (int k = 1; k <= fields; ++k) {
        sql += ", v" + std::to_string(k);
        marks += ", ?";
    }
    sql += ") VALUES (" + marks + ") ON CONFLICT (station, utc) DO NOTHING";
    const Statement statement = prepared(connection, sql, error);
    if (!statement) return false;
    sqlite3_stmt* insert = statement.get();
    sqlite3_bind_text(insert, 1, station.data(), static_cast<int>(station.size()), SQLITE_STATIC);
    for (size_t r = 0; r < rows.size(); ++r) {
        sqlite3_bind_int64(insert, 2, rows.utc[r]);
        sqlite3_bind_int64(insert, 3, rows.collection[r]);
        for (int k = 0; k < fields; ++k) {
            const float v = rows.value(r, static_cast<size_t>(k));
            if (std::isfinite(v))
                sqlite3_bind_double(insert, k + 4, static_cast<double>(v));
            else
                sqlite3_bind_null(insert, k + 4);
        }
        if (sqlite3_step(insert) != SQLITE_DONE) {
            error = sqlite3_errmsg(connection);
            return false;
        }
        added += static_cast<size_t>(sqlite3_changes(connection));
        sqlite3_reset(insert);
    }
    return true;
}

bool readSqliteRows(const QSqlDatabase& db, const std::string& station, int64_t after, size_t limit,
                    RecordRows& rows, std::string& error) {
    rows.clear();
    sqlite3* connection = connectionOf(db, error);
    if (!connection) return false;
    std::string sql = "SELECT utc, collection_id";
    for (size_t k = 1; k <= rows.fields; ++k)
        sql += ", v" + std::to_string(k);
    sql += " FROM vrn_records WHERE station = ? AND utc > ? ORDER BY utc LIMIT ?";
    const Statement statement = prepared(connection, sql, error);
    if (!statement) return false;
    sqlite3_stmt* select = statement.get();
    sqlite3_bind_text(select, 1, station.data(), static_cast<int>(station.size()), SQLITE_STATIC);
    sqlite3_bind_int64(select, 2, after);
    sqlite3_bind_int64(select, 3, static_cast<sqlite3_int64>(limit));
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(select)) == SQLITE_ROW) {
        rows.utc.push_back(sqlite3_column_int64(select, 0));
        rows.collection.push_back(sqlite3_column_int64(select, 1));
        for (int k = 0; k < static_cast<int>(rows.fields); ++k)
            rows.values.push_back(sqlite3_column_type(select, k + 2) == SQLITE_NULL
                                      ? std::numeric_limits<float>::quiet_NaN()
                                      : static_cast<float>(sqlite3_column_double(select, k + 2)));
    }
    if (step == SQLITE_DONE) return true;
    error = sqlite3_errmsg(connection);
    return false;
}

}  // namespace vrn::store
