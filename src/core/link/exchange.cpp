#include "core/link/exchange.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <utility>
#include <vector>

#include "core/link/clock.h"
#include "core/link/host.h"
#include "core/link/timer1.h"
#include "core/link/usb_port.h"

namespace vrn {

void Exchange::SendCommand(std::string_view text) {
    Clock& clock = host_.clock();
    port_.purge();
    clock.pace();
    for (char c : text) {
        const uint8_t byte = static_cast<uint8_t>(c);
        port_.write({&byte, 1});
        clock.pace();
    }
}

void Exchange::armWait(int seconds) {
    host_.timer().arm(seconds * 2);
    waitAborted_ = false;
}

Outcome Exchange::WaitForByte(uint8_t marker, int seconds, WaitOptions options) {
    const Timer1& timer = host_.timer();
    armWait(seconds);
    // Switched off, Timer1 never lowers its countdown: the Clock then ends the wait at its limit.
    const int64_t deadlineMs = host_.clock().nowMs() + int64_t{seconds} * 1000;
    for (;;) {
        if (options.pumpFirst) host_.pump();
        uint8_t byte = 0;
        if (port_.read({&byte, 1}).count == 1 && byte == marker) return Outcome::done();
        if (options.endsEarly && !port_.isOpen()) break;
        if (!options.pumpFirst) host_.pump();
        if (options.endsEarly && waitAborted_) return Outcome::aborted();
        if (timer.timedOut()) break;
        if (!timer.enabled() && host_.clock().nowMs() >= deadlineMs) break;
    }
    if (options.beeps) host_.beep(BeepKind::Default);
    return waitAborted_ && port_.isOpen() ? Outcome::aborted() : failure();
}

Outcome Exchange::failure(std::string reason) const {
    return port_.isOpen() ? Outcome::failed(std::move(reason)) : Outcome::portGone(std::move(reason));
}

Outcome Exchange::query(const Query& q, std::string& reply) {
    std::vector<uint8_t> buffer(q.replyLength);
    for (int attempt = 0; attempt < kQueryTries && port_.isOpen(); ++attempt) {
        SendCommand(q.command);
        if (q.pause) host_.clock().sleepMs(kQueryPauseMs);
        const ReadResult r = port_.read(buffer);
        if (r.count >= q.replyLength) {
            reply.assign(buffer.begin(), buffer.end());
            return Outcome::done();
        }
    }
    host_.appendLine(q.failLine);
    return failure(q.failLine);
}

Outcome Exchange::setting(std::string_view command) {
    Outcome last = failure();
    for (int send = 0; send < kSettingSends && port_.isOpen(); ++send) {
        SendCommand(command);
        last = WaitForByte(kAck, kSettingWaitSeconds);
        if (last.ok()) return last;
    }
    return last;
}

std::string commandText(const char* format, ...) {
    char buffer[128];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    std::string text(buffer, n < 0 ? 0 : std::min<size_t>(static_cast<size_t>(n), sizeof buffer - 1));
    text.push_back('\r');
    return text;
}

void MyCommError(Host& host) {
    warn(host, kCommErrorText);
}

}  // namespace vrn
