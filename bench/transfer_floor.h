#pragma once
// The protocol's floor under a transfer, added up as the transfer runs (a clock and a port that
// tell it what the transfer paces, pauses, sends and reads), and the two "row" lines that compare
// a transfer's time with it. Shared by the transfer benches.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "bare_pty.h"
#include "core/link/clock.h"
#include "core/link/port.h"
#include "ports/real_clock.h"
#include "sim/instrument.h"

namespace vrn::bench {

constexpr int64_t kByteUs = sim::Instrument::kByteTimeUs;

// The floor on a timeline of its own: pacing steps and pauses move it on; bytes the PC writes take
// the line 8 us each, after what it still carries; bytes from the instrument stream from the
// arrival of the last byte the PC wrote, after its reply latency (so a reply that arrives during a
// pause costs nothing more).
struct Floor {
    int64_t nowUs = 0;
    int64_t wireInUs = 0;
    int64_t wireEndUs = 0;
    int64_t lastByteUs = 0;
    // What the pty adds on top, counted: answers the PC waited for after a command or write, and
    // write calls (a paced command byte's too: its mandated step can only begin once the call is
    // back).
    int turnarounds = 0;
    int writeCalls = 0;
    bool awaiting = false;
    // A command byte is written as its pacing step begins: it crosses the line during the step.
    void pace() { nowUs += kPaceUs; }
    void pause(int64_t us) { nowUs += us; }
    void received(size_t n) {
        if (n == 0) return;
        if (awaiting && wireEndUs + static_cast<int64_t>(n) * kByteUs > nowUs) ++turnarounds;
        awaiting = false;
        wireEndUs += static_cast<int64_t>(n) * kByteUs;
        nowUs = std::max(nowUs, wireEndUs);
    }
    // The PC's bytes cross the line as the instrument's do (the write returns at once, as a
    // serial port's buffer takes them); the instrument's answer starts its latency after the last.
    void written(size_t n) {
        awaiting = true;
        ++writeCalls;
        wireInUs = std::max(wireInUs, nowUs) + static_cast<int64_t>(n) * kByteUs;
        lastByteUs = wireInUs;
        wireEndUs = std::max(wireEndUs, wireInUs + sim::Instrument::kReplyLatencyUs);
    }
    // The whole floor; work the instrument does after the last command (its answer a byte after it)
    // runs alongside whatever pause follows the command.
    int64_t totalUs(int64_t instrumentUs) const {
        int64_t us = std::max(nowUs, wireEndUs);
        if (instrumentUs > 0)
            us = std::max(us, lastByteUs + sim::Instrument::kReplyLatencyUs + instrumentUs + kByteUs);
        return std::max(us, wireInUs);
    }
};

// The real clock, telling the floor about every pacing step and mandated pause it passes.
class FloorClock final : public Clock {
public:
    explicit FloorClock(Floor& floor) : floor_(floor) {}
    int64_t nowUs() override { return real_.nowUs(); }
    int64_t wallSeconds() override { return real_.wallSeconds(); }
    LocalDateTime localNow() override { return real_.localNow(); }
    void sleepMs(int64_t ms) override {
        floor_.pause(ms * 1000);
        real_.sleepMs(ms);
    }
    // Waiting for a reply within a read's time limit: not mandated.
    void sleepUntilUs(int64_t us) override { real_.sleepUntilUs(us); }
    void pace() override {
        floor_.pace();
        real_.pace();
    }

private:
    RealClock real_;
    Floor& floor_;
};

// The serial port, telling the floor about the bytes that cross the line.
class FloorPort final : public Port {
public:
    FloorPort(Port& inner, Floor& floor) : inner_(inner), floor_(floor) {}
    bool openEx(std::string_view d) override { return inner_.openEx(d); }
    void setBaudRate(uint32_t b) override { inner_.setBaudRate(b); }
    void setDataCharacteristics(uint8_t w, uint8_t s, uint8_t p) override {
        inner_.setDataCharacteristics(w, s, p);
    }
    void setTimeouts(uint32_t r, uint32_t w) override { inner_.setTimeouts(r, w); }
    void setFlowControl(uint16_t m, uint8_t a, uint8_t b) override { inner_.setFlowControl(m, a, b); }
    void purge() override { inner_.purge(); }
    void write(std::span<const uint8_t> bytes) override {
        floor_.written(bytes.size());
        inner_.write(bytes);
    }
    ReadResult read(std::span<uint8_t> buffer) override {
        const ReadResult r = inner_.read(buffer);
        floor_.received(r.count);
        return r;
    }
    void close() override { inner_.close(); }
    void resetDevice() override { inner_.resetDevice(); }

private:
    Port& inner_;
    Floor& floor_;
};

// A send that ends without an answer returns while its last bytes still cross the line. The
// instrument's answer to a query written after them comes once the line has carried them all, so a
// send is timed to that answer, and its floor holds the query as well.
inline bool lineCarried(Port& port) {
    static constexpr uint8_t kQuery[] = {'C', 'M', 'D', '2', '5', '5', '\r'};
    port.write(kQuery);
    uint8_t answer[2];
    return port.read(answer).count == sizeof answer;
}

struct Row {
    std::string name;
    std::vector<double> ms, floorMs, ptyFloorMs;
    bool failed = false;
    // One run: its time, its floor, and that floor plus what the pty costs its turnarounds and
    // write calls.
    void add(int64_t tookUs, const Floor& floor, int64_t instrumentUs, const BarePtyCosts& pty) {
        ms.push_back(static_cast<double>(tookUs) / 1000.0);
        floorMs.push_back(static_cast<double>(floor.totalUs(instrumentUs)) / 1000.0);
        ptyFloorMs.push_back(floorMs.back() +
                             (floor.turnarounds * pty.turnaroundUs + floor.writeCalls * pty.writeUs) /
                                 1000.0);
    }
};

inline void printRow(const Row& row) {
    if (row.failed || row.ms.empty()) {
        std::printf("row\t%s\tfailed\t-\t-\t<= 1.05\tnot met\n", row.name.c_str());
        std::printf("row\t  the same, over the pty's own costs\tfailed\t-\t-\t<= 1.05\tnot met\n");
        return;
    }
    // The run at the median ratio, with its own floor.
    std::vector<size_t> order(row.ms.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(),
              [&](size_t a, size_t b) { return row.ms[a] / row.floorMs[a] < row.ms[b] / row.floorMs[b]; });
    std::printf("  %s, runs by ratio:", row.name.c_str());
    for (size_t i : order)
        std::printf(" %.3f", row.ms[i] / row.floorMs[i]);
    std::printf("\n");
    const size_t m = order[order.size() / 2];
    const double ratio = row.ms[m] / row.floorMs[m];
    std::printf("row\t%s\t%.1f ms\t%.1f ms floor\t%.3f\t<= 1.05\t%s\n", row.name.c_str(), row.ms[m],
                row.floorMs[m], ratio, ratio <= 1.05 ? "met" : "not met");
    const double ptyRatio = row.ms[m] / row.ptyFloorMs[m];
    std::printf(
        "row\t  the same, over the pty's own costs\t%.1f ms\t%.1f ms floor + pty\t%.3f\t<= 1.05\t%s\n",
        row.ms[m], row.ptyFloorMs[m], ptyRatio, ptyRatio <= 1.05 ? "met" : "not met");
}

}  // namespace vrn::bench
