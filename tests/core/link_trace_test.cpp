#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/link/trace.h"
#include "core/link/tracing_port.h"
#include "core/link/virtual_clock.h"
#include "sim/instrument.h"
#include "sim/sim_port.h"

namespace vrn {
namespace {

using Kind = TraceEvent::Kind;

TraceEvent bytesEvent(int64_t us, Kind kind, const std::string& bytes,
                      ReadStatus status = ReadStatus::Complete, int64_t asked = 0) {
    TraceEvent e;
    e.us = us;
    e.kind = kind;
    e.bytes.assign(bytes.begin(), bytes.end());
    e.status = status;
    e.value = asked;
    return e;
}

TEST(LinkTrace, FormatsOneEventALineAndGroupsRuns) {
    TraceEvent open;
    open.us = 5;
    open.kind = Kind::Open;
    open.text = "VARNO 41700 USB";
    TraceEvent pause;
    pause.us = 8000;
    pause.kind = Kind::Pause;
    pause.value = 50;
    struct Row {
        const char* name;
        std::vector<TraceEvent> events;
        std::string expected;
    } rows[] = {
        {"open failed", {open}, "           5 open \"VARNO 41700 USB\": FAILED\n"},
        {"paced writes are one run, a pause ends it",
         {bytesEvent(1000, Kind::Write, "CM"), bytesEvent(2001, Kind::Write, "D2"),
          bytesEvent(3002, Kind::Write, "\r"), pause},
         "        1000 write     5  43 4D 44 32 0D                                   CMD2.             (to "
         "3002)\n"
         "        8000 pause 50 ms\n"},
        {"a reply read in pieces, then a write",
         {bytesEvent(10, Kind::Read, " 1"), bytesEvent(20, Kind::Read, "5"),
          bytesEvent(30, Kind::Write, "!")},
         "          10 read      3  20 31 35                                          15               (to "
         "20)\n"
         "          30 write     1  21                                               !\n"},
        {"a time-out after part of the reply",
         {bytesEvent(400, Kind::Read, "9", ReadStatus::Timeout, 4)},
         "         400 read      1  39                                               9\n"
         "         400 read time-out: 1 of 4 bytes\n"},
        {"a long run wraps, unprintable bytes as dots",
         {bytesEvent(7, Kind::Write, std::string("0123456789ABCDEF\xAB\xCD", 18)),
          TraceEvent{9, Kind::Close, {}, {}, 0, {}}},
         "           7 write    18  30 31 32 33 34 35 36 37 38 39 41 42 43 44 45 46  0123456789ABCDEF\n"
         "                          AB CD                                            ..\n"
         "           9 close\n"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        TraceFormatter f;
        for (const TraceEvent& e : r.events)
            f.add(e);
        f.finish();
        EXPECT_EQ(f.take(), r.expected);
    }
}

struct Recorder : TraceSink {
    std::vector<TraceEvent> events;
    void record(TraceEvent e) override { events.push_back(std::move(e)); }
};

TEST(LinkTrace, TheTracingPortRecordsWhatTheDriverDidAndChangesNothing) {
    VirtualClock clock;
    sim::Instrument instrument(clock);
    sim::registerAllCommands(instrument);
    sim::SimPort inner(instrument, clock);
    Recorder sink;
    TracingPort port(inner, clock, sink, clock.nowUs());
    TracingClock tracedClock(clock, sink, clock.nowUs());
    ASSERT_TRUE(port.openEx("VARNO 41700 USB"));
    port.purge();
    const std::string command = "CMD255\r";
    port.write({reinterpret_cast<const uint8_t*>(command.data()), command.size()});
    tracedClock.sleepMs(50);
    uint8_t reply[4] = {};
    const ReadResult r = port.read(reply);
    port.close();

    EXPECT_EQ(r.count, 2u);
    EXPECT_EQ(r.status, ReadStatus::Timeout);
    const std::vector<Kind> kinds = {Kind::Open,  Kind::Purge, Kind::Write,
                                     Kind::Pause, Kind::Read,  Kind::Close};
    ASSERT_EQ(sink.events.size(), kinds.size());
    for (size_t k = 0; k < kinds.size(); ++k)
        EXPECT_EQ(sink.events[k].kind, kinds[k]) << k;
    EXPECT_EQ(std::string(sink.events[2].bytes.begin(), sink.events[2].bytes.end()), command);
    EXPECT_EQ(sink.events[4].bytes, std::vector<uint8_t>(reply, reply + 2));
    EXPECT_EQ(sink.events[4].value, 4);
    EXPECT_EQ(sink.events[3].us, sink.events[2].us);
    EXPECT_GE(sink.events[4].us, sink.events[3].us + 50000);
}

}  // namespace
}  // namespace vrn
