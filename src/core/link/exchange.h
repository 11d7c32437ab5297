#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/link/outcome.h"

namespace vrn {

class Host;
class UsbPort;

// What a read brought a wait: nothing it waits for, progress (which restarts the silence limit
// where the wait's rule says so), or the end it waited for.
enum class WaitStep : uint8_t { GoesOn, Progress, Over };

// The caller's rule for one wait, as data. Every wait ends at the abort (Stop Calibration, the
// window closing, a signal to the command line) and at the port's loss; the rest is the rule's.
struct WaitRule {
    enum class Restart : uint8_t { Never, OnProgress };
    // The limit without progress, counted in Timer1's ticks, or on the Clock while Timer1 is off;
    // 0 where only the other bounds apply.
    int64_t silenceMs = 0;
    Restart restart = Restart::Never;
    // The whole wait's bound on the Clock, never restarted; 0 where the silence limit, never
    // restarted, bounds it whole.
    int64_t limitMs = 0;
    // This many empty reads in a row, and one more, end the wait as silence; 0 for no such count.
    int silentReads = 0;
    // A bound in the PC clock's whole seconds: the wait ends once more than this many of them have
    // passed since wallFrom; 0 for no such bound.
    int64_t wallSeconds = 0;
    int64_t wallFrom = 0;
    // The window's events run before each read instead of after it.
    bool pumpFirst = false;
    bool beeps = true;
};

// Where a wait's reads go and what each brought.
class WaitReader {
public:
    virtual ~WaitReader() = default;
    virtual std::span<uint8_t> room() = 0;
    virtual WaitStep took(std::span<const uint8_t> bytes) = 0;
};

// A reader of a fixed buffer that hands each read's bytes to a function.
class BufferReader final : public WaitReader {
public:
    BufferReader(size_t size, std::function<WaitStep(std::span<const uint8_t>)> step)
        : buffer_(size), step_(std::move(step)) {}
    std::span<uint8_t> room() override { return buffer_; }
    WaitStep took(std::span<const uint8_t> bytes) override { return step_(bytes); }

private:
    std::vector<uint8_t> buffer_;
    std::function<WaitStep(std::span<const uint8_t>)> step_;
};

// The command exchange: paced sends after a purge, fixed-length queries with retries,
// acknowledged settings with retries, and the wait for a marker byte.
class Exchange {
public:
    static constexpr int kQueryTries = 10;
    static constexpr int64_t kQueryPauseMs = 50;
    static constexpr int kSettingSends = 10;
    static constexpr int kSettingWaitSeconds = 2;
    static constexpr uint8_t kAck = '*';
    static constexpr uint8_t kNext = '!';

    Exchange(UsbPort& port, Host& host) : port_(port), host_(host) {}

    // Ends the running wait at once, Aborted and without a beep: raises WaitAborted (Stop
    // Calibration, Stop, and a close asked for during an exchange). The next wait starts afresh.
    void abortWaits() { waitAborted_ = true; }
    // Whether the running wait was aborted since it started, or the host is closing.
    bool WaitAborted() const;

    // The one wait on the instrument: reads into the reader until it says Over (Done), the rule's
    // bounds pass (Failed, or PortGone once the port has gone, after the beep the rule asks for),
    // the port goes (the same) or the abort comes (Aborted, without a beep).
    Outcome wait(const WaitRule& rule, WaitReader& reader);

    // Purges both buffers, then writes the text byte by byte, just over 1 ms apart.
    void SendCommand(std::string_view text);

    // Waits up to `seconds` for the marker, skipping other bytes (see wait()).
    Outcome WaitForByte(uint8_t marker, int seconds);
    // The same with the caller's own rule.
    Outcome waitForMarker(uint8_t marker, const WaitRule& rule);

    struct Query {
        std::string command;     // with its carriage return
        size_t replyLength = 0;  // the exact reply length
        bool pause = true;       // 50 ms between send and read
        std::string failLine;    // the step's "CANNOT GET ..." line
    };
    // The query pattern up to the reading of the reply; a failure (Failed or PortGone) after the
    // step's line, which is its reason. Tries stop early once the port is gone, and at the abort
    // (Aborted).
    Outcome query(const Query& q, std::string& reply);

    // The setting pattern: up to ten sends, each waiting up to 2 s for "*"; a failure is the last
    // wait's outcome.
    Outcome setting(std::string_view command);

    // A step that did not get its answer: Failed, or PortGone once the port has closed.
    Outcome failure(std::string reason = {}) const;

    UsbPort& port() { return port_; }
    Host& host() { return host_; }

private:
    UsbPort& port_;
    Host& host_;
    bool waitAborted_ = false;
};

// Formats a command text with its arguments and the carriage return, e.g. command("CMD250 %u", 5).
std::string commandText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The one communication-failure box.
void MyCommError(Host& host);

inline constexpr const char* kCommErrorText =
    "Cannot communicate with 41700.\n\nDevice may be busy. Make sure\n41700 is in OPERATE mode.\n"
    "Attempt USB Reconnect from File menu and\nplease try again.";

}  // namespace vrn
