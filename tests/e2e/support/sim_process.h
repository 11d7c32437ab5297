#pragma once

#include <memory>
#include <string>
#include <vector>

class QProcess;

namespace vrn::test {

// vrncomm-sim as a child process, serving the simulated instrument on a pty. The child is
// stopped (SIGTERM, then SIGKILL) when this object goes away, whatever the test did.
class SimProcess {
public:
    // How long the simulator may take to start and print its pty's path.
    static constexpr int kStartWaitMs = 5000;

    // Starts the simulator with these options ("--silent", "--short-cmd", "255:1", ...).
    explicit SimProcess(const std::vector<std::string>& options = {});
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // The pty's slave path; empty when the simulator did not start (see errorText()).
    const std::string& path() const { return path_; }
    // What the simulator wrote on stderr, and why it did not start, if it did not.
    std::string errorText() const;
    bool running() const;
    // Stops the simulator with SIGTERM and waits for it; returns its exit code (-1 if it had to be killed).
    int stop();
    // Kills the simulator at once (SIGKILL), as a crash or a pulled cable ends it, and waits for it.
    void kill();

    // Where the simulator's binary is.
    static std::string program();

private:
    std::unique_ptr<QProcess> process_;
    std::string path_;
    std::string startError_;
};

}  // namespace vrn::test
