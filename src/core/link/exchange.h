#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/link/outcome.h"

namespace vrn {

class Host;
class UsbPort;

// How a wait for a marker byte looks at the port and the window. The commands' waits read first,
// end at once on an abort or a lost port and beep when they give up; the screens' wait for "*"
// lets the window's events run before each read and ends only at the marker or its time limit,
// without a beep (its own box follows).
struct WaitOptions {
    bool pumpFirst = false;
    bool endsEarly = true;
    bool beeps = true;
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

    // Ends a running WaitForByte (or echo of readings) at once with failure and without a beep:
    // raises WaitAborted (Stop Calibration, and a close asked for during an exchange).
    void abortWaits() { waitAborted_ = true; }
    // A loop that reads without a wait of its own (the record download) starts clear of an earlier
    // abort, and goes on after one the user took back.
    void clearAbort() { waitAborted_ = false; }
    // Starts a wait of the given seconds on Timer1's countdown, clearing an earlier abort.
    void armWait(int seconds);
    // Whether the running wait was aborted since it started.
    bool WaitAborted() const { return waitAborted_; }

    // Purges both buffers, then writes the text byte by byte, just over 1 ms apart.
    void SendCommand(std::string_view text);

    // Waits for the marker: Done, or Failed at the time limit, PortGone, or Aborted. The limit is
    // counted in Timer1's ticks, or on the Clock while Timer1 is off, so no wait is endless.
    Outcome WaitForByte(uint8_t marker, int seconds, WaitOptions options = {});

    struct Query {
        std::string command;     // with its carriage return
        size_t replyLength = 0;  // the exact reply length
        bool pause = true;       // 50 ms between send and read
        std::string failLine;    // the step's "CANNOT GET ..." line
    };
    // The query pattern up to the reading of the reply; a failure (Failed or PortGone) after the
    // step's line, which is its reason. Tries stop early once the port is gone.
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
