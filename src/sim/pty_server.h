#pragma once

#include <csignal>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "sim/instrument.h"

namespace vrn {
class Clock;
class TraceSink;
}  // namespace vrn

namespace vrn::sim {

// Serves the instrument on a pseudo-terminal: what a program writes to the slave side reaches
// the instrument no faster than the line carries it (the pty's buffer fills and the program's
// writes block, as on the instrument's line), and its replies reach the program when their time
// has come. The server keeps
// a descriptor of the slave open itself, so programs can open and close the slave as often as
// they like without the master seeing a hang-up.
class PtyServer {
public:
    // The longest the loop sleeps without looking at its stop flag.
    static constexpr int64_t kIdleWaitUs = 100000;
    // Bytes of a long reply are handed over in batches at most this late; the reply's last byte
    // always on time.
    static constexpr int64_t kBatchUs = 100;
    // The program's bytes are taken from the pty once the line has this little left to carry, as
    // much as it carries in twice that, and handed to the instrument with the times they arrive:
    // a wake-up up to this late leaves the line no gap, and the rest waits in the pty.
    static constexpr int64_t kInAheadUs = 4000;
    static constexpr size_t kInBatchBytes = static_cast<size_t>(2 * kInAheadUs / Instrument::kByteTimeUs);
    // Reply bytes the pty has had no room for this long are lost, as on a line whose reader
    // stopped reading: an interrupted download leaves no backlog for the next program.
    static constexpr int64_t kUnreadLostUs = 500000;
    // How often the server looks for an exclusive hold left by a program that was killed (a look
    // reads /proc, a millisecond or two).
    static constexpr int64_t kExclusiveCheckUs = 500000;

    PtyServer(Instrument& instrument, Clock& clock) : instrument_(instrument), clock_(clock) {}
    ~PtyServer();
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    // Creates the pty in raw mode; false with the reason in error.
    bool open(std::string& error);
    // The slave's path, e.g. /dev/pts/3, for programs to open.
    const std::string& slavePath() const { return slavePath_; }

    // Moves bytes both ways until stop becomes non-zero (a signal handler may set it);
    // false with the reason in error when the pty fails.
    bool serve(const volatile std::sig_atomic_t& stop, std::string& error);

    // Runs once the line has gone quiet after bytes came from the program, and when serving
    // stops: the moment to keep what the instrument was sent, off the exchange's timing.
    std::function<void()> onQuiet;

    // When set, every byte the instrument receives (a read) and sends (a write) is recorded, timed
    // from traceStartUs on the server's clock.
    TraceSink* trace = nullptr;
    int64_t traceStartUs = 0;

private:
    bool step(std::string& error);
    bool flushOutput(std::string& error);
    void traceBytes(bool isWrite, const uint8_t* bytes, size_t n);

    Instrument& instrument_;
    Clock& clock_;
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
    // Replies the pty could not take yet, in the order they became due.
    struct Pending {
        int64_t dueUs;
        std::vector<uint8_t> bytes;
    };
    std::deque<Pending> unsent_;
    bool heardSinceQuiet_ = false;
    int64_t nextExclusiveCheckUs_ = 0;
    int64_t lastReadUs_ = 0;
};

}  // namespace vrn::sim
