#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "network_schedule.h"

namespace vrn::test {

// Something done to the database while one collection stores its records.
class StoreInterruption {
public:
    virtual ~StoreInterruption() = default;
    // The collection is about to store: the interruption starts and holds the store once it runs.
    virtual void storeBegins() = 0;
    // After the collection: whether the interruption came while the store ran; why not in what.
    virtual bool finish(std::string& what) = 0;
};

struct NetworkOptions {
    int stations = 10;
    int nights = 30;
    std::string archive;  // a SQLite file or a PostgreSQL URL
    // The collection during whose store the interruption comes.
    struct Interrupted {
        int night = 0;
        int station = 0;
        StoreInterruption* interruption = nullptr;
    };
    std::optional<Interrupted> interrupted;
    // Told after each night, with the nights done.
    std::function<void(int)> nightDone;
};

// One station at the end of the span: what its instrument logged and what the archive holds.
struct StationFigures {
    std::string name;
    Role role = Role::Healthy;
    uint64_t logged = 0;
    uint64_t archived = 0;
    uint64_t lost = 0;                     // expected: dropped before a collection could take them
    std::optional<uint64_t> lostReported;  // what `status` reports as lost
    uint64_t missing = 0;                  // expected in the archive and not there
    uint64_t extra = 0;                    // in the archive and not expected (twice, or at a wrong time)
    std::map<std::string, int> attempts;   // the archive's attempts by outcome
};

struct NetworkResult {
    int stations = 0;
    int nights = 0;
    uint64_t collections = 0;
    uint64_t failed = 0;
    uint64_t logged = 0;
    uint64_t archived = 0;
    uint64_t lost = 0;
    uint64_t lostReported = 0;
    uint64_t missing = 0;
    uint64_t extra = 0;
    double spanSeconds = 0;     // virtual time from the first night to the end
    double collectSeconds = 0;  // virtual time inside the collections
    uint64_t wireBytes = 0;     // bytes the instruments sent during the collections
    double wallSeconds = 0;
    bool interrupted = false;  // the interruption came while its store ran
    std::vector<StationFigures> perStation;
    // What went against the plan: a collection that failed or went well unexpectedly, ...
    std::vector<std::string> problems;
};

// Runs the stations' nights on virtual time in this process: each night every station that is
// due is collected by the command-line tool's own collect, from its simulated instrument into the
// archive, with the faults of the schedule; then every station's records are compared with what
// its instrument logged.
NetworkResult runNetwork(const NetworkOptions& options);

// Where the SQLite archive goes: a memory-backed file system where there is one, so that its
// 36,500 commits a year of a hundred stations makes wait for no shared disk.
std::string scratchFolder();

// The result as the table the benchmark and the test print.
std::string networkTable(const NetworkResult& result, const std::string& title);

}  // namespace vrn::test
