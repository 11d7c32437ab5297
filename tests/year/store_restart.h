#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "station_network.h"

namespace vrn::test {

class PgCluster;

// Restarts a PostgreSQL server in the middle of a store: when the store is about to begin, another
// connection locks the stations' table; once the store's transaction waits on that lock, the
// server is restarted, ending every connection at once, the store's with its transaction open.
class StoreRestart final : public StoreInterruption {
public:
    // The bound of each wait: for the lock, for the store to wait on it.
    static constexpr int kWaitMs = 20000;

    explicit StoreRestart(PgCluster& pg) : pg_(pg) {}
    ~StoreRestart() override;
    StoreRestart(const StoreRestart&) = delete;
    StoreRestart& operator=(const StoreRestart&) = delete;

    void storeBegins() override;
    bool finish(std::string& what) override;

private:
    void holdAndRestart();

    PgCluster& pg_;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool locking_ = false;  // the lock is taken, or could not be
    bool storeWaited_ = false;
    bool restarted_ = false;
    std::string what_;
};

}  // namespace vrn::test
