#include "sim/pty_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "core/link/clock.h"
#include "core/link/trace.h"
#include "sim/instrument.h"
#include "sim/pty_exclusive.h"

namespace vrn::sim {
namespace {

std::string reason(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

}  // namespace

PtyServer::~PtyServer() {
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
}

bool PtyServer::open(std::string& error) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master_ < 0) {
        error = reason("posix_openpt");
        return false;
    }
    if (grantpt(master_) != 0 || unlockpt(master_) != 0) {
        error = reason("grantpt/unlockpt");
        return false;
    }
    char name[128] = {};
    if (ptsname_r(master_, name, sizeof name) != 0) {
        error = reason("ptsname");
        return false;
    }
    slavePath_ = name;
    slave_ = ::open(name, O_RDWR | O_NOCTTY);
    if (slave_ < 0) {
        error = reason(name);
        return false;
    }
    // Raw at once: no echo of the program's bytes back to it, no line editing, no CR/LF mapping.
    termios tio{};
    if (tcgetattr(slave_, &tio) != 0) {
        error = reason("tcgetattr");
        return false;
    }
    cfmakeraw(&tio);
    if (tcsetattr(slave_, TCSANOW, &tio) != 0) {
        error = reason("tcsetattr");
        return false;
    }
    return true;
}

bool PtyServer::serve(const volatile std::sig_atomic_t& stop, std::string& error) {
    // The kernel may otherwise wake the loop up to 50 us after a reply byte is due, on top of
    // the instrument's own latency; the loop sleeps to the microsecond instead.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    while (stop == 0) {
        if (!step(error)) return false;
    }
    if (heardSinceQuiet_ && onQuiet) onQuiet();
    return true;
}

bool PtyServer::step(std::string& error) {
    // Sleep until bytes come from the program while the line has room for them, the line gets
    // room, the next reply byte is due, or the idle limit.
    const int64_t start = clock_.nowUs();
    // While the line carries bytes, the next are taken a batch time after the last at the soonest:
    // a program writing a byte a call does not wake the loop for every byte.
    const bool carrying = instrument_.lineInFreeUs() > start;
    const int64_t roomAtUs =
        std::max(instrument_.lineInFreeUs() - kInAheadUs, carrying ? lastReadUs_ + kBatchUs : start);
    const bool roomNow = roomAtUs <= start;
    int64_t waitUs = roomNow ? kIdleWaitUs : std::min(kIdleWaitUs, roomAtUs - start);
    if (const auto next = instrument_.nextOutputUs())
        waitUs = std::min(waitUs, std::min(*next + kBatchUs, *instrument_.lastOutputUs()) - start);
    pollfd fd{master_, static_cast<short>(roomNow ? POLLIN : 0), 0};
    if (!unsent_.empty()) fd.events |= POLLOUT;
    if (waitUs < 0) waitUs = 0;
    const timespec timeout{static_cast<time_t>(waitUs / 1000000), static_cast<long>(waitUs % 1000000) * 1000};
    const int ready = ppoll(&fd, 1, &timeout, nullptr);
    if (ready < 0 && errno != EINTR) {
        error = reason("poll");
        return false;
    }
    if (ready > 0 && (fd.revents & POLLIN) != 0) {
        const int64_t busyUs = std::max<int64_t>(0, instrument_.lineInFreeUs() - clock_.nowUs());
        const size_t room =
            kInBatchBytes - std::min(kInBatchBytes, static_cast<size_t>(busyUs / Instrument::kByteTimeUs));
        uint8_t bytes[kInBatchBytes];
        const ssize_t n = ::read(master_, bytes, std::max<size_t>(room, 1));
        if (n > 0) {
            lastReadUs_ = clock_.nowUs();
            traceBytes(false, bytes, static_cast<size_t>(n));
            instrument_.receive({bytes, static_cast<size_t>(n)});
            heardSinceQuiet_ = true;
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            error = reason("read");
            return false;
        }
    }
    const int64_t now = clock_.nowUs();
    if (ready == 0 && roomNow && heardSinceQuiet_ && instrument_.lineInFreeUs() <= now &&
        !instrument_.nextOutputUs()) {
        heardSinceQuiet_ = false;
        if (onQuiet) onQuiet();
    }
    uint8_t due[4096];
    if (ready == 0 && now >= nextExclusiveCheckUs_) {
        nextExclusiveCheckUs_ = now + kExclusiveCheckUs;
        releaseOrphanedExclusive(slave_, slavePath_);
    }
    for (size_t n; (n = instrument_.take(due, now)) > 0;)
        unsent_.push_back({now, std::vector<uint8_t>(due, due + n)});
    while (!unsent_.empty() && now - unsent_.front().dueUs > kUnreadLostUs)
        unsent_.pop_front();
    return flushOutput(error);
}

bool PtyServer::flushOutput(std::string& error) {
    while (!unsent_.empty()) {
        std::vector<uint8_t>& bytes = unsent_.front().bytes;
        const ssize_t n = ::write(master_, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR) return true;
            error = reason("write");
            return false;
        }
        traceBytes(true, bytes.data(), static_cast<size_t>(n));
        bytes.erase(bytes.begin(), bytes.begin() + n);
        if (bytes.empty()) unsent_.pop_front();
    }
    return true;
}

void PtyServer::traceBytes(bool isWrite, const uint8_t* bytes, size_t n) {
    if (trace == nullptr || n == 0) return;
    TraceEvent e;
    e.us = clock_.nowUs() - traceStartUs;
    e.kind = isWrite ? TraceEvent::Kind::Write : TraceEvent::Kind::Read;
    e.bytes.assign(bytes, bytes + n);
    trace->record(std::move(e));
}

}  // namespace vrn::sim
