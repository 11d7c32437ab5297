// Link timing over a pty, in real time: the pacing of the send routine (gaps between the bytes of
// a command against its 1 ms step) and the latency of a reply from vrncomm-sim. Prints figures;
// asserts nothing.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <QCoreApplication>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <numeric>
#include <thread>
#include <vector>

#include "core/link/clock.h"
#include "core/link/exchange.h"
#include "core/link/usb_port.h"
#include "ports/port_factory.h"
#include "ports/real_clock.h"
#include "recording_host.h"
#include "sim_process.h"

namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr int kCommands = 200;
constexpr const char* kSetting = "CMD250 7\r";
constexpr const char* kQuery = "CMD315\r";

double usBetween(SteadyClock::time_point a, SteadyClock::time_point b) {
    return std::chrono::duration<double, std::micro>(b - a).count();
}

struct Stats {
    double mean = 0, median = 0, p99 = 0, min = 0, max = 0;
};

Stats statsOf(std::vector<double> v) {
    Stats s;
    if (v.empty()) return s;
    std::sort(v.begin(), v.end());
    s.mean = std::accumulate(v.begin(), v.end(), 0.0) / static_cast<double>(v.size());
    s.median = v[v.size() / 2];
    s.p99 = v[std::min(v.size() - 1, v.size() * 99 / 100)];
    s.min = v.front();
    s.max = v.back();
    return s;
}

void print(const char* what, const Stats& s, double reference) {
    std::printf("  %-44s mean %8.1f  median %8.1f  p99 %8.1f  min %8.1f  max %8.1f us", what, s.mean,
                s.median, s.p99, s.min, s.max);
    if (reference > 0) std::printf("  (mean / %.0f us = %.3f)", reference, s.mean / reference);
    std::printf("\n");
}

// A raw pty whose master end a thread reads, noting when each byte arrives.
class ArrivalRecorder {
public:
    ArrivalRecorder() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
        path_ = ptsname(master_);
        const int slave = ::open(path_.c_str(), O_RDWR | O_NOCTTY);
        termios tio{};
        tcgetattr(slave, &tio);
        cfmakeraw(&tio);
        tcsetattr(slave, TCSANOW, &tio);
        ::close(slave);
        reader_ = std::thread([this] { run(); });
    }
    ~ArrivalRecorder() {
        stop_ = true;
        if (reader_.joinable()) reader_.join();
        if (master_ >= 0) ::close(master_);
    }
    const std::string& path() const { return path_; }
    // Arrival times, valid once the writer is done and the reader has caught up.
    std::vector<SteadyClock::time_point> arrivals() {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        stop_ = true;
        reader_.join();
        return times_;
    }

private:
    void run() {
        while (!stop_) {
            pollfd fd{master_, POLLIN, 0};
            if (::poll(&fd, 1, 10) <= 0) continue;
            const auto now = SteadyClock::now();
            char buffer[64];
            const ssize_t n = ::read(master_, buffer, sizeof buffer);
            for (ssize_t i = 0; i < n; ++i)
                times_.push_back(now);
        }
    }
    int master_ = -1;
    std::string path_;
    std::thread reader_;
    std::atomic<bool> stop_{false};
    std::vector<SteadyClock::time_point> times_;
};

// A Port that notes the time of every write before passing it on.
class TimedWrites final : public vrn::Port {
public:
    explicit TimedWrites(vrn::Port& inner) : inner_(inner) {}
    bool openEx(std::string_view d) override { return inner_.openEx(d); }
    void setBaudRate(uint32_t b) override { inner_.setBaudRate(b); }
    void setDataCharacteristics(uint8_t w, uint8_t s, uint8_t p) override {
        inner_.setDataCharacteristics(w, s, p);
    }
    void setTimeouts(uint32_t r, uint32_t w) override { inner_.setTimeouts(r, w); }
    void setFlowControl(uint16_t m, uint8_t a, uint8_t b) override { inner_.setFlowControl(m, a, b); }
    void purge() override {
        const auto start = SteadyClock::now();
        inner_.purge();
        purges.push_back(usBetween(start, SteadyClock::now()));
    }
    void write(std::span<const uint8_t> bytes) override {
        writes.push_back(SteadyClock::now());
        inner_.write(bytes);
        writeCalls.push_back(usBetween(writes.back(), SteadyClock::now()));
    }
    vrn::ReadResult read(std::span<uint8_t> buffer) override { return inner_.read(buffer); }
    void close() override { inner_.close(); }
    void resetDevice() override { inner_.resetDevice(); }

    std::vector<SteadyClock::time_point> writes;
    std::vector<double> purges;      // how long each purge took
    std::vector<double> writeCalls;  // how long each write took

private:
    vrn::Port& inner_;
};

// Gaps between consecutive bytes of each command (not across commands).
std::vector<double> gapsWithinCommands(const std::vector<SteadyClock::time_point>& times, size_t perCommand) {
    std::vector<double> gaps;
    for (size_t i = 0; i + 1 < times.size(); ++i)
        if ((i + 1) % perCommand != 0) gaps.push_back(usBetween(times[i], times[i + 1]));
    return gaps;
}

void pacing() {
    ArrivalRecorder recorder;
    vrn::RealClock clock;
    vrn::test::RecordingHost host(clock);
    auto serial = vrn::makeHardwarePort(recorder.path());
    TimedWrites timed(*serial);
    vrn::UsbPort usb(timed, host);
    vrn::Exchange ex(usb, host);
    usb.OpenUsbPort();
    if (!usb.isOpen()) {
        std::printf("pacing: cannot open %s\n", recorder.path().c_str());
        return;
    }
    const size_t length = std::char_traits<char>::length(kSetting);
    std::vector<double> sends;
    for (int i = 0; i < kCommands; ++i) {
        const auto start = SteadyClock::now();
        ex.SendCommand(kSetting);
        sends.push_back(usBetween(start, SteadyClock::now()));
        // Lets the far end read the command before the next send's purge could drop its tail.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    const auto arrivals = recorder.arrivals();
    std::printf("SendCommand pacing, %d x \"CMD250 7\" (%zu bytes), step %lld us:\n", kCommands, length,
                static_cast<long long>(vrn::kPaceUs));
    print("gap between write calls", statsOf(gapsWithinCommands(timed.writes, length)), vrn::kPaceUs);
    if (arrivals.size() == timed.writes.size())
        print("gap between arrivals at the pty's far end", statsOf(gapsWithinCommands(arrivals, length)),
              vrn::kPaceUs);
    else
        std::printf("  arrivals: %zu of %zu bytes seen\n", arrivals.size(), timed.writes.size());
    print("purge", statsOf(timed.purges), 0);
    print("write call", statsOf(timed.writeCalls), 0);
    print("whole send (purge + n+1 steps)", statsOf(sends), static_cast<double>((length + 1) * vrn::kPaceUs));
}

void replyLatency() {
    vrn::test::SimProcess sim;
    if (sim.path().empty()) {
        std::printf("reply latency: the simulator did not start: %s\n", sim.errorText().c_str());
        return;
    }
    vrn::RealClock clock;
    vrn::test::RecordingHost host(clock);
    auto serial = vrn::makeHardwarePort(sim.path());
    TimedWrites timed(*serial);
    vrn::UsbPort usb(timed, host);
    vrn::Exchange ex(usb, host);
    usb.OpenUsbPort();
    std::vector<double> firstByte, wholeReply, wholeQuery;
    int failures = 0;
    for (int i = 0; i < kCommands; ++i) {
        const auto start = SteadyClock::now();
        ex.SendCommand(kQuery);
        // From the carriage return: the pacing step after it is part of the send, not of the reply.
        const auto sent = timed.writes.back();
        uint8_t reply[2] = {};
        if (usb.read({reply, 1}).count != 1) {
            ++failures;
            continue;
        }
        const auto first = SteadyClock::now();
        if (usb.read({reply + 1, 1}).count != 1) {
            ++failures;
            continue;
        }
        const auto done = SteadyClock::now();
        firstByte.push_back(usBetween(sent, first));
        wholeReply.push_back(usBetween(sent, done));
        wholeQuery.push_back(usBetween(start, done));
    }
    // The simulator's own turn-around and the pty, without the pacing step after the command.
    std::vector<double> unpaced;
    const size_t length = std::char_traits<char>::length(kQuery);
    for (int i = 0; i < kCommands; ++i) {
        usb.purge();
        const auto start = SteadyClock::now();
        usb.write({reinterpret_cast<const uint8_t*>(kQuery), length});
        uint8_t reply[2] = {};
        if (usb.read(reply).count != 2) {
            ++failures;
            continue;
        }
        unpaced.push_back(usBetween(start, SteadyClock::now()));
    }
    std::printf("Reply over the pty from vrncomm-sim, %d x \"CMD315\" without pause (%d failed):\n",
                kCommands, failures);
    print("command written at once to whole reply", statsOf(unpaced), 0);
    print("carriage return written to first reply byte", statsOf(firstByte), 0);
    print("carriage return written to whole reply", statsOf(wholeReply), 0);
    print("whole query against its paced send", statsOf(wholeQuery),
          static_cast<double>((length + 1) * vrn::kPaceUs));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // Busy pacing shares the processors with everything else: the load says how much it had to.
    double load[3] = {};
    if (getloadavg(load, 3) == 3) std::printf("load average %.2f %.2f %.2f\n", load[0], load[1], load[2]);
    pacing();
    replyLatency();
    return 0;
}
