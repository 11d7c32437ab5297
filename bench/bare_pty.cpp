#include "bare_pty.h"

#include <poll.h>
#include <pty.h>
#include <sys/prctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <ctime>
#include <thread>
#include <vector>

namespace vrn::bench {

namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr uint8_t kCommand = 'c';
constexpr uint8_t kData = 'w';
constexpr uint8_t kAnswer = 'a';

bool makeRaw(int fd) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) return false;
    cfmakeraw(&tio);
    return tcsetattr(fd, TCSANOW, &tio) == 0;
}

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double usSince(SteadyClock::time_point start) {
    return std::chrono::duration<double, std::micro>(SteadyClock::now() - start).count();
}

// The instrument's end: reads everything, answers a command byte after the reply latency.
void answer(int fd, int64_t replyLatencyUs, const std::atomic<bool>& stop) {
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    uint8_t bytes[4096];
    while (!stop) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 50) <= 0) continue;
        const ssize_t n = ::read(fd, bytes, sizeof bytes);
        if (n <= 0 || bytes[n - 1] != kCommand) continue;
        timespec due{};
        clock_gettime(CLOCK_MONOTONIC, &due);
        due.tv_nsec += static_cast<long>(replyLatencyUs * 1000);
        due.tv_sec += due.tv_nsec / 1000000000;
        due.tv_nsec %= 1000000000;
        clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &due, nullptr);
        if (::write(fd, &kAnswer, 1) != 1) return;
    }
}

bool awaitAnswer(int fd) {
    pollfd p{fd, POLLIN, 0};
    uint8_t byte = 0;
    return poll(&p, 1, 1000) == 1 && ::read(fd, &byte, 1) == 1 && byte == kAnswer;
}

}  // namespace

BarePtyCosts measureBarePty(int64_t replyLatencyUs, int rounds, int writes) {
    int instrumentEnd = -1;
    int pcEnd = -1;
    if (openpty(&instrumentEnd, &pcEnd, nullptr, nullptr, nullptr) != 0) return {};
    BarePtyCosts costs;
    if (makeRaw(instrumentEnd) && makeRaw(pcEnd)) {
        std::atomic<bool> stop{false};
        std::thread instrument(answer, instrumentEnd, replyLatencyUs, std::cref(stop));
        std::vector<double> turnarounds;
        bool ok = true;
        for (int i = 0; i < rounds && ok; ++i) {
            const auto start = SteadyClock::now();
            ok = ::write(pcEnd, &kCommand, 1) == 1 && awaitAnswer(pcEnd);
            turnarounds.push_back(usSince(start) - static_cast<double>(replyLatencyUs));
        }
        std::vector<double> perWrite;
        for (int run = 0; run < 5 && ok; ++run) {
            const auto start = SteadyClock::now();
            for (int i = 0; i < writes && ok; ++i)
                ok = ::write(pcEnd, &kData, 1) == 1;
            perWrite.push_back(usSince(start) / writes);
            // Let the other end drain before the next run.
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        stop = true;
        instrument.join();
        costs = {median(turnarounds), median(perWrite), ok};
    }
    close(pcEnd);
    close(instrumentEnd);
    return costs;
}

}  // namespace vrn::bench
