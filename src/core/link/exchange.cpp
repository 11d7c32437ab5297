#include "core/link/exchange.h"

#include <algorithm>
#include <climits>
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

bool Exchange::WaitAborted() const {
    return waitAborted_ || host_.closing();
}

Outcome Exchange::wait(const WaitRule& rule, WaitReader& reader) {
    Clock& clock = host_.clock();
    Timer1& timer = host_.timer();
    waitAborted_ = false;
    int64_t silenceEndMs = 0;
    const auto restartSilence = [&] {
        timer.arm(static_cast<int>(rule.silenceMs / Timer1::kIntervalMs));
        silenceEndMs = clock.nowMs() + rule.silenceMs;
    };
    restartSilence();
    const int64_t endMs = rule.limitMs > 0 ? clock.nowMs() + rule.limitMs : INT64_MAX;
    int emptyReads = 0;
    for (;;) {
        if (rule.pumpFirst) host_.pump();
        const std::span<uint8_t> room = reader.room();
        const size_t count = std::min(port_.read(room).count, room.size());
        const WaitStep step = reader.took(room.first(count));
        if (step == WaitStep::Over) return Outcome::done();
        if (step == WaitStep::Progress && rule.restart == WaitRule::Restart::OnProgress) restartSilence();
        emptyReads = count > 0 ? 0 : emptyReads + 1;
        if (rule.silentReads > 0 && emptyReads > rule.silentReads) break;
        if (!port_.isOpen()) break;
        if (!rule.pumpFirst) host_.pump();
        if (WaitAborted()) return Outcome::aborted();
        // Switched off, Timer1 never lowers its countdown: the Clock then ends the silence.
        if (rule.silenceMs > 0 && (timer.timedOut() || (!timer.enabled() && clock.nowMs() >= silenceEndMs)))
            break;
        if (clock.nowMs() >= endMs) break;
        if (rule.wallSeconds > 0 && clock.wallSeconds() - rule.wallFrom > rule.wallSeconds) break;
    }
    if (rule.beeps) host_.beep(BeepKind::Default);
    return failure();
}

Outcome Exchange::WaitForByte(uint8_t marker, int seconds) {
    return waitForMarker(marker, {.silenceMs = int64_t{seconds} * 1000});
}

Outcome Exchange::waitForMarker(uint8_t marker, const WaitRule& rule) {
    BufferReader reader(1, [marker](std::span<const uint8_t> bytes) {
        return !bytes.empty() && bytes[0] == marker ? WaitStep::Over : WaitStep::GoesOn;
    });
    return wait(rule, reader);
}

Outcome Exchange::failure(std::string reason) const {
    return port_.isOpen() ? Outcome::failed(std::move(reason)) : Outcome::portGone(std::move(reason));
}

Outcome Exchange::query(const Query& q, std::string& reply) {
    std::vector<uint8_t> buffer(q.replyLength);
    for (int attempt = 0; attempt < kQueryTries && port_.isOpen(); ++attempt) {
        if (host_.closing()) {
            host_.appendLine(q.failLine);
            return Outcome::aborted(q.failLine);
        }
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
