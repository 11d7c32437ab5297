#include "store/postgres_rows.h"

#include <libpq-fe.h>

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "core/records/record_text.h"

namespace vrn::store {
namespace {

// COPY data goes to the server in pieces of about this many bytes.
constexpr size_t kCopyChunk = size_t{1} << 20;

using Result = std::unique_ptr<PGresult, void (*)(PGresult*)>;

bool run(PGconn* connection, const std::string& sql, ExecStatusType expected, std::string& error,
         size_t* affected = nullptr) {
    const Result result(PQexec(connection, sql.c_str()), PQclear);
    if (PQresultStatus(result.get()) != expected) {
        error = PQerrorMessage(connection);
        return false;
    }
    if (affected) *affected = std::strtoull(PQcmdTuples(result.get()), nullptr, 10);
    return true;
}

// COPY's text format: the value, or \N when missing.
void appendCopyValue(std::string& out, float value) {
    if (!std::isfinite(value)) {
        out += "\\N";
        return;
    }
    char text[32];
    out.append(text, std::to_chars(text, text + sizeof text, value).ptr);
}

}  // namespace

bool insertPostgresRows(const QSqlDatabase& db, const std::string& station, int64_t collection,
                        const records::RecordBlock& block,
                        const std::vector<std::pair<size_t, int64_t>>& rows, size_t& added,
                        std::string& error) {
    if (rows.empty()) return true;
    const QVariant handle = db.driver()->handle();
    // Qt names the type by libpq's own struct.
    if (!handle.isValid() || qstrcmp(handle.typeName(), "pg_conn*") != 0) {
        error = "the archive's connection is not a PostgreSQL one";
        return false;
    }
    PGconn* connection = *static_cast<PGconn* const*>(handle.constData());
    const size_t fields = block.fieldCount();
    std::string columns = "utc";
    std::string table = "utc BIGINT";
    for (size_t k = 1; k <= fields; ++k) {
        columns += ", v" + std::to_string(k);
        table += ", v" + std::to_string(k) + " REAL";
    }
    // Gone at the end of the collection's transaction, however it ends.
    if (!run(connection, "CREATE TEMPORARY TABLE vrn_incoming (" + table + ") ON COMMIT DROP",
             PGRES_COMMAND_OK, error) ||
        !run(connection, "COPY vrn_incoming (" + columns + ") FROM STDIN", PGRES_COPY_IN, error))
        return false;
    std::string data;
    data.reserve(kCopyChunk + 512);
    auto send = [&] {
        if (PQputCopyData(connection, data.data(), static_cast<int>(data.size())) != 1) {
            error = PQerrorMessage(connection);
            return false;
        }
        data.clear();
        return true;
    };
    for (const auto& [r, utc] : rows) {
        data += std::to_string(utc);
        for (size_t k = 0; k < fields; ++k) {
            data += '\t';
            appendCopyValue(data, block.value(r, k));
        }
        data += '\n';
        if (data.size() >= kCopyChunk && !send()) {
            PQputCopyEnd(connection, "abandoned");
            return false;
        }
    }
    if ((!data.empty() && !send()) || PQputCopyEnd(connection, nullptr) != 1) {
        error = PQerrorMessage(connection);
        return false;
    }
    const Result copied(PQgetResult(connection), PQclear);
    if (PQresultStatus(copied.get()) != PGRES_COMMAND_OK) {
        error = PQerrorMessage(connection);
        while (PGresult* rest = PQgetResult(connection))
            PQclear(rest);
        return false;
    }
    while (PGresult* rest = PQgetResult(connection))
        PQclear(rest);
    char* text = PQescapeLiteral(connection, station.data(), station.size());
    if (!text) {
        error = PQerrorMessage(connection);
        return false;
    }
    const std::string literal = text;
    PQfreemem(text);
    size_t inserted = 0;
    if (!run(connection,
             "INSERT INTO vrn_records (station, collection_id, " + columns + ") SELECT " + literal + ", " +
                 std::to_string(collection) + ", " + columns +
                 " FROM vrn_incoming ON CONFLICT (station, utc) DO NOTHING",
             PGRES_COMMAND_OK, error, &inserted))
        return false;
    added += inserted;
    return true;
}

}  // namespace vrn::store
