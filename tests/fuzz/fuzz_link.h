#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/link/exchange.h"
#include "core/link/host.h"
#include "core/link/port.h"
#include "core/link/timer1.h"
#include "core/link/usb_port.h"
#include "core/link/virtual_clock.h"

namespace vrn::fuzz {

// A window that shows nothing and answers every question with `answer` (No unless set) and every
// file dialog with Cancel, on virtual time.
class QuietHost final : public Host {
public:
    QuietHost() { timer_.start(clock_.nowMs()); }

    void appendLine(std::string_view line) override { lastLine = line; }
    void appendText(std::string_view) override {}
    void clearMessages() override {}
    void setProgressMax(int) override {}
    void setProgress(int) override {}
    void setStatusText(std::string_view) override {}
    MsgResult MyMessage(std::string_view, MsgButtons buttons, MsgKind) override {
        return buttons == MsgButtons::Ok ? MsgResult::Ok : answer;
    }
    void beep(BeepKind) override {}
    void setWaitCursor(bool) override {}
    void pump() override { timer_.catchUp(clock_.nowMs()); }
    Timer1& timer() override { return timer_; }
    Clock& clock() override { return clock_; }
    std::optional<std::string> openFileName(const FileDialogSpec&) override { return std::nullopt; }
    std::optional<std::string> saveFileName(const FileDialogSpec&) override { return std::nullopt; }

    VirtualClock clock_;
    MsgResult answer = MsgResult::No;
    std::string lastLine;  // the message area's last line

private:
    Timer1 timer_;
};

// An instrument that answers every read with the next bytes of the fuzz input, whatever was
// asked; once they run out every read times out after the port's read time-out.
class ReplayPort final : public Port {
public:
    ReplayPort(std::span<const uint8_t> replies, VirtualClock& clock) : rest_(replies), clock_(clock) {}

    bool openEx(std::string_view) override { return true; }
    void setBaudRate(uint32_t) override {}
    void setDataCharacteristics(uint8_t, uint8_t, uint8_t) override {}
    void setTimeouts(uint32_t, uint32_t) override {}
    void setFlowControl(uint16_t, uint8_t, uint8_t) override {}
    void purge() override {}
    void write(std::span<const uint8_t>) override {}
    ReadResult read(std::span<uint8_t> buffer) override {
        const size_t n = std::min(buffer.size(), rest_.size());
        std::copy_n(rest_.begin(), n, buffer.begin());
        rest_ = rest_.subspan(n);
        if (n < buffer.size()) {
            clock_.advanceUs(int64_t{UsbPort::kReadTimeoutMs} * 1000);
            return {n, ReadStatus::Timeout};
        }
        return {n, ReadStatus::Complete};
    }
    void close() override {}
    void resetDevice() override {}

private:
    std::span<const uint8_t> rest_;
    VirtualClock& clock_;
};

// The exchange on a replaying instrument, port open.
struct ReplayLink {
    explicit ReplayLink(std::span<const uint8_t> replies) : port(replies, host.clock_) { usb.OpenUsbPort(); }

    QuietHost host;
    ReplayPort port;
    UsbPort usb{port, host};
    Exchange exchange{usb, host};
};

}  // namespace vrn::fuzz
