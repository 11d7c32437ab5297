#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/link/exchange.h"
#include "core/link/usb_port.h"
#include "recording_host.h"
#include "sim/instrument.h"
#include "sim/sim_port.h"

namespace vrn::test {

// Thrown out of a wait that went on past the cell's deadline, so a hanging transfer ends.
struct Overrun {};

// A recording host whose pump() gives up once virtual time passes the deadline.
class DeadlineHost : public RecordingHost {
public:
    int64_t deadlineUs = std::numeric_limits<int64_t>::max();
    void pump() override {
        RecordingHost::pump();
        if (clock_.nowUs() > deadlineUs) throw Overrun{};
    }
};

// SimLink with the deadline host, port open.
struct MatrixLink {
    DeadlineHost host;
    sim::Instrument instrument{host.clock_};
    sim::SimPort driver{instrument, host.clock_};
    UsbPort usb{driver, host};
    Exchange ex{usb, host};

    MatrixLink() {
        sim::registerAllCommands(instrument);
        usb.OpenUsbPort();
        host.lines.clear();
        host.progress.clear();
    }
    std::vector<std::string> boxTexts() const {
        std::vector<std::string> out;
        for (const auto& b : host.boxes)
            out.push_back(b.text);
        return out;
    }
};

// One row of a matrix: a fault as data, put on the instrument before the transfer starts. A
// fault the protocol itself cannot see names why in `limit`: a wrong model it leaves is counted
// and shown as a known limit, not as a fault of the program.
struct FaultCase {
    FaultCase(std::string name_, std::function<void(sim::Faults&)> apply_)
        : name(std::move(name_)), apply(std::move(apply_)) {}

    std::string name;
    std::function<void(sim::Faults&)> apply;
    std::string limit;
};

// Marks the rows whose name starts with `prefix` as faults the protocol cannot see.
inline void markLimit(std::vector<FaultCase>& rows, const std::string& prefix, const std::string& why) {
    for (FaultCase& row : rows)
        if (row.name.starts_with(prefix)) row.limit = why;
}

// What a cell found wrong, one description per kind; empty when right.
struct Verdict {
    std::string model;
    std::string file;
    std::string messages;
};

// The faults every transfer meets on each of its commands: silence, a reply cut short, garbage
// instead of it, stray bytes before it, all for every reply or only the first.
inline std::vector<FaultCase> replyFaults(const std::vector<int>& commands) {
    std::vector<FaultCase> rows;
    for (const int c : commands) {
        const std::string n = "CMD" + std::to_string(c);
        rows.push_back({n + " silent", [c](sim::Faults& f) { f.perCommand[c] = sim::Fault::silent(); }});
        rows.push_back(
            {n + " silent once", [c](sim::Faults& f) { f.perCommand[c] = sim::Fault::silent(1); }});
        rows.push_back(
            {n + " short by 1", [c](sim::Faults& f) { f.perCommand[c] = sim::Fault::cutShort(1); }});
        rows.push_back(
            {n + " short by 1 once", [c](sim::Faults& f) { f.perCommand[c] = sim::Fault::cutShort(1, 1); }});
        rows.push_back(
            {n + " garbage", [c](sim::Faults& f) { f.perCommand[c] = sim::Fault::replace("\xff#?x\x15"); }});
        rows.push_back(
            {n + " stray first", [c](sim::Faults& f) { f.perCommand[c] = sim::Fault::strayFirst("\x15?"); }});
        rows.push_back(
            {n + " stall 3 s", [c](sim::Faults& f) { f.perCommand[c] = sim::Fault::late(3000000); }});
    }
    return rows;
}

// Faults of the whole link: silence, every reply cut short or stray-led, a wrong "!" and "*"
// storm, and for n across the transfer's bytes, the link dropping, one byte inverted (a CRC or a
// value spoilt) and a two-second stall.
inline std::vector<FaultCase> linkFaults(uint64_t transferBytes, uint64_t stride) {
    std::vector<FaultCase> rows = {
        {"all silent", [](sim::Faults& f) { f.all = sim::Fault::silent(); }},
        {"all short by 1", [](sim::Faults& f) { f.all = sim::Fault::cutShort(1); }},
        {"all stray NAK first", [](sim::Faults& f) { f.all = sim::Fault::strayFirst("\x15"); }},
        {"all answered by a NAK storm",
         [](sim::Faults& f) { f.all = sim::Fault::replace(std::string(40, '\x15')); }},
        {"all answered by wrong values", [](sim::Faults& f) { f.all = sim::Fault::replace(" 99999\r"); }},
    };
    if (stride == 0) stride = 1;
    for (uint64_t n = 0; n <= transferBytes; n += stride) {
        const std::string at = std::to_string(n);
        rows.push_back({"drop after " + at, [n](sim::Faults& f) { f.dropAfterBytes = n; }});
        if (n < transferBytes) {
            rows.push_back({"flip byte " + at, [n](sim::Faults& f) { f.flipByte = n; }});
            rows.push_back({"stall 2 s at " + at, [n](sim::Faults& f) {
                                f.stallAtByte = n;
                                f.stallUs = 2000000;
                            }});
        }
    }
    return rows;
}

// A transfer's matrix: how to run it on a fresh rig, its bound on virtual time and what a cell
// must show. run returns true when the transfer failed.
template <class Rig>
struct Matrix {
    std::string transfer;
    int64_t boundMs;
    std::function<bool(Rig&)> run;
    std::function<Verdict(Rig&, bool failed)> check;
};

// How many reply bytes the fault-free transfer takes, to spread the link faults over.
template <class Rig>
uint64_t replyBytesOf(const Matrix<Rig>& m) {
    Rig rig;
    EXPECT_FALSE(m.run(rig)) << m.transfer << " fails without a fault";
    return rig.instrument.bytesSent();
}

// Runs every fault on a fresh rig, counts what went wrong, prints the summary line and fails the
// test when any count is not zero.
template <class Rig>
void runMatrix(const Matrix<Rig>& m, const std::vector<FaultCase>& faults) {
    int crashes = 0, hangs = 0, models = 0, files = 0, messages = 0, failedCells = 0, limits = 0;
    std::map<std::string, std::pair<int, std::string>> limitRows;  // why -> rows, the first one
    int64_t longestMs = 0;
    for (const FaultCase& fault : faults) {
        const auto rig = std::make_unique<Rig>();
        fault.apply(rig->instrument.faults);
        const int64_t start = rig->host.clock_.nowUs();
        rig->host.deadlineUs = start + 2 * m.boundMs * 1000;
        bool failed = true;
        try {
            failed = m.run(*rig);
        } catch (const Overrun&) {
            ++hangs;
            ADD_FAILURE() << m.transfer << " / " << fault.name << ": still waiting at twice its bound";
            continue;
        } catch (const std::exception& e) {
            ++crashes;
            ADD_FAILURE() << m.transfer << " / " << fault.name << ": threw " << e.what();
            continue;
        }
        const int64_t tookMs = (rig->host.clock_.nowUs() - start) / 1000;
        longestMs = std::max(longestMs, tookMs);
        if (tookMs > m.boundMs) {
            ++hangs;
            ADD_FAILURE() << m.transfer << " / " << fault.name << ": took " << tookMs << " ms, bound "
                          << m.boundMs << " ms";
        }
        failedCells += failed ? 1 : 0;
        const Verdict v = m.check(*rig, failed);
        const std::string outcome = failed ? " (failed): " : " (got through): ";
        if (!v.model.empty() && !fault.limit.empty()) {
            ++limits;
            auto& seen = limitRows[fault.limit];
            if (seen.first++ == 0) seen.second = fault.name + ": " + v.model;
        } else if (!v.model.empty()) {
            ++models;
            ADD_FAILURE() << m.transfer << " / " << fault.name << outcome << v.model;
        }
        if (!v.file.empty()) {
            ++files;
            ADD_FAILURE() << m.transfer << " / " << fault.name << outcome << v.file;
        }
        if (!v.messages.empty()) {
            ++messages;
            ADD_FAILURE() << m.transfer << " / " << fault.name << outcome << v.messages;
        }
    }
    for (const auto& [why, rows] : limitRows)
        std::printf("  known limit, %s, %d rows (first \"%s\"): %s\n", m.transfer.c_str(), rows.first,
                    rows.second.c_str(), why.c_str());
    std::printf(
        "%s: %zu faults tried, crashes %d, hangs %d, models wrong %d, files wrong %d, "
        "messages wrong %d (%d failed, %zu got through, known limits %d; longest %.1f s of %.0f s)\n",
        m.transfer.c_str(), faults.size(), crashes, hangs, models, files, messages, failedCells,
        faults.size() - static_cast<size_t>(failedCells), limits, static_cast<double>(longestMs) / 1000,
        static_cast<double>(m.boundMs) / 1000);
    EXPECT_EQ(crashes + hangs + models + files + messages, 0) << m.transfer;
}

// The message-area lines and boxes a transfer ends with: the last line and the boxes shown.
inline std::string expectEnd(const MatrixLink& rig, const std::string& lastLine,
                             const std::vector<std::string>& boxes) {
    std::string wrong;
    if (rig.host.lines.empty() || rig.host.lines.back() != lastLine)
        wrong += "last line \"" + (rig.host.lines.empty() ? std::string() : rig.host.lines.back()) +
                 "\", not \"" + lastLine + "\"; ";
    if (rig.boxTexts() != boxes) {
        wrong += "boxes:";
        for (const auto& b : rig.boxTexts())
            wrong += " [" + b + "]";
    }
    return wrong;
}

}  // namespace vrn::test
