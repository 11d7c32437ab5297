#pragma once

#include <QTemporaryDir>
#include <memory>
#include <string>

namespace vrn::test {

// A throwaway PostgreSQL server: a cluster made by initdb in a temporary folder, the server on a
// Unix socket in that folder only (no TCP), stopped and removed when this object goes away. The
// server refuses to run as root, so as root it runs as the `postgres` user the Debian package makes.
class PgCluster {
public:
    // Bounds of each step: initdb, the server's start and its stop.
    static constexpr int kInitWaitMs = 60000;
    static constexpr int kStartWaitSeconds = 30;

    // durable: the server writes through to the disk at each commit, as a real one does (the
    // benchmarks); otherwise it skips that, which the tests do not need.
    explicit PgCluster(bool durable = false);
    ~PgCluster();
    PgCluster(const PgCluster&) = delete;
    PgCluster& operator=(const PgCluster&) = delete;

    // The folder of initdb and postgres; empty when PostgreSQL's server is not installed.
    static std::string binDir();

    // Whether the server runs; when not, why (error()).
    bool running() const { return running_; }
    const std::string& error() const { return error_; }
    // The archive URL of the cluster's own database, for vrncomm-cli and Qt SQL.
    std::string url() const;
    // Stops the server, ending every connection at once as a crash does (the server warns each client), and
    // starts it again; false with the reason in error() when it is not running afterwards.
    bool restart();

private:
    // Runs one of the server's programs as the user the server runs as; false with the reason.
    bool runTool(const std::string& tool, const QStringList& args, int waitMs);

    QTemporaryDir dir_;
    std::string bin_;
    bool asPostgresUser_ = false;
    bool running_ = false;
    std::string error_;
};

}  // namespace vrn::test
