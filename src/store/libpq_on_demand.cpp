// The libpq functions the PostgreSQL rows and the notice routing use, taken from libpq when they
// are first called instead of linking it: linked, libpq loads with OpenSSL, GnuTLS, Kerberos and LDAP into
// every program at start (about 5 MB, and a fifth of an empty window's start-up), though only a PostgreSQL
// archive uses it. They are only ever called on a connection Qt's PostgreSQL driver opened, so the driver has
// loaded libpq by then and opening it again costs nothing. Should it still be missing, each call fails as
// libpq fails a call on a broken connection.
#include <dlfcn.h>
#include <libpq-fe.h>

namespace {

constexpr char kLibpq[] = "libpq.so.5";

template <typename Function>
Function* resolve(const char* name) {
    static void* const handle = dlopen(kLibpq, RTLD_NOW | RTLD_LOCAL);
    return handle == nullptr ? nullptr : reinterpret_cast<Function*>(dlsym(handle, name));
}

}  // namespace

extern "C" {

PGresult* PQexec(PGconn* connection, const char* query) {
    static auto* const real = resolve<decltype(PQexec)>("PQexec");
    return real != nullptr ? real(connection, query) : nullptr;
}

ExecStatusType PQresultStatus(const PGresult* result) {
    static auto* const real = resolve<decltype(PQresultStatus)>("PQresultStatus");
    return real != nullptr ? real(result) : PGRES_FATAL_ERROR;
}

char* PQerrorMessage(const PGconn* connection) {
    static auto* const real = resolve<decltype(PQerrorMessage)>("PQerrorMessage");
    static char missing[] = "libpq.so.5 cannot be loaded";
    return real != nullptr ? real(connection) : missing;
}

char* PQcmdTuples(PGresult* result) {
    static auto* const real = resolve<decltype(PQcmdTuples)>("PQcmdTuples");
    static char none[] = "";
    return real != nullptr ? real(result) : none;
}

void PQclear(PGresult* result) {
    static auto* const real = resolve<decltype(PQclear)>("PQclear");
    if (real != nullptr) real(result);
}

int PQputCopyData(PGconn* connection, const char* buffer, int bytes) {
    static auto* const real = resolve<decltype(PQputCopyData)>("PQputCopyData");
    return real != nullptr ? real(connection, buffer, bytes) : -1;
}

int PQputCopyEnd(PGconn* connection, const char* errorMessage) {
    static auto* const real = resolve<decltype(PQputCopyEnd)>("PQputCopyEnd");
    return real != nullptr ? real(connection, errorMessage) : -1;
}

PGresult* PQgetResult(PGconn* connection) {
    static auto* const real = resolve<decltype(PQgetResult)>("PQgetResult");
    return real != nullptr ? real(connection) : nullptr;
}

PGresult* PQexecParams(PGconn* connection, const char* command, int nParams, const Oid* paramTypes,
                       const char* const* paramValues, const int* paramLengths, const int* paramFormats,
                       int resultFormat) {
    static auto* const real = resolve<decltype(PQexecParams)>("PQexecParams");
    return real != nullptr ? real(connection, command, nParams, paramTypes, paramValues, paramLengths,
                                  paramFormats, resultFormat)
                           : nullptr;
}

int PQntuples(const PGresult* result) {
    static auto* const real = resolve<decltype(PQntuples)>("PQntuples");
    return real != nullptr ? real(result) : 0;
}

char* PQgetvalue(const PGresult* result, int row, int column) {
    static auto* const real = resolve<decltype(PQgetvalue)>("PQgetvalue");
    static char none[] = "";
    return real != nullptr ? real(result, row, column) : none;
}

PQnoticeProcessor PQsetNoticeProcessor(PGconn* connection, PQnoticeProcessor processor, void* arg) {
    static auto* const real = resolve<decltype(PQsetNoticeProcessor)>("PQsetNoticeProcessor");
    return real != nullptr ? real(connection, processor, arg) : nullptr;
}

}  // extern "C"
