#include "store/sqlite_rows.h"

#include <sqlite3.h>

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>
#include <cmath>
#include <memory>

namespace vrn::store {

bool insertSqliteRows(const QSqlDatabase& db, const std::string& station, const RecordRows& rows,
                      size_t& added, std::string& error) {
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) {
        error = "the archive's connection is not a SQLite one";
        return false;
    }
    sqlite3* connection = *static_cast<sqlite3* const*>(handle.constData());
    const auto fields = static_cast<int>(rows.fields);
    std::string sql = "INSERT INTO vrn_records (station, utc, collection_id";
    std::string marks = "?, ?, ?";
    for (int k = 1; k <= fields; ++k) {
        sql += ", v" + std::to_string(k);
        marks += ", ?";
    }
    sql += ") VALUES (" + marks + ") ON CONFLICT (station, utc) DO NOTHING";
    sqlite3_stmt* prepared = nullptr;
    if (sqlite3_prepare_v2(connection, sql.c_str(), -1, &prepared, nullptr) != SQLITE_OK) {
        error = sqlite3_errmsg(connection);
        return false;
    }
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> statement(prepared, sqlite3_finalize);
    sqlite3_bind_text(prepared, 1, station.data(), static_cast<int>(station.size()), SQLITE_STATIC);
    for (size_t r = 0; r < rows.size(); ++r) {
        sqlite3_bind_int64(prepared, 2, rows.utc[r]);
        sqlite3_bind_int64(prepared, 3, rows.collection[r]);
        for (int k = 0; k < fields; ++k) {
            const float v = rows.value(r, static_cast<size_t>(k));
            if (std::isfinite(v))
                sqlite3_bind_double(prepared, k + 4, static_cast<double>(v));
            else
                sqlite3_bind_null(prepared, k + 4);
        }
        if (sqlite3_step(prepared) != SQLITE_DONE) {
            error = sqlite3_errmsg(connection);
            return false;
        }
        added += static_cast<size_t>(sqlite3_changes(connection));
        sqlite3_reset(prepared);
    }
    return true;
}

}  // namespace vrn::store
