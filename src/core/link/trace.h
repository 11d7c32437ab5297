#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/link/port.h"

namespace vrn {

// One event of the link, timed in microseconds since the trace started.
struct TraceEvent {
    enum class Kind : uint8_t { Open, Setting, Purge, Write, Read, Pause, Reset, Close };
    int64_t us = 0;
    Kind kind = Kind::Write;
    std::vector<uint8_t> bytes;                // Write and Read: the bytes that went
    ReadStatus status = ReadStatus::Complete;  // Read: how it ended
    int64_t value = 0;                         // Read: bytes asked; Pause: ms; Open: 1 when it opened
    std::string text;                          // Open: the description or device; Setting: what was set
};

// Where the events of a traced link go. record() runs on the exchange's timing path: it must
// only hand the event on, never format or write it.
class TraceSink {
public:
    virtual ~TraceSink() = default;
    virtual void record(TraceEvent event) = 0;
};

// Turns events into the trace's text, one event a line: the time, what happened, and for bytes
// their hex and printable text (anything outside ' '..'~' as '.'), 16 a line. Bytes that go one
// way in a row, however many writes or reads carried them, are one run: its time is its first
// byte's, and "(to T)" gives its last.
class TraceFormatter {
public:
    static constexpr size_t kBytesPerLine = 16;

    void add(const TraceEvent& event);
    // Ends a run still open (the trace is over).
    void finish();
    // The text formatted so far, which is then forgotten.
    std::string take();

private:
    void flushRun();
    void line(int64_t us, const std::string& what);

    std::string out_;
    bool runIsWrite_ = false;
    int64_t runStartUs_ = 0;
    int64_t runEndUs_ = 0;
    std::vector<uint8_t> run_;
};

}  // namespace vrn
