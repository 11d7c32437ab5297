#include "core/link/usb_port.h"

#include "core/link/clock.h"
#include "core/link/host.h"

namespace vrn {

void UsbPort::OpenUsbPort() {
    if (PortHandle_ != 0) {
        driver_.close();
        PortHandle_ = 0;
        WaitCursor hourglass(host_);
        host_.clock().sleepMs(kReopenWaitMs);
    }
    if (!driver_.openEx(kDescription)) {
        PortHandle_ = 0;
        warn(host_, kCannotOpenText);
        const std::vector<std::string> advice = driver_.openFailureAdvice();
        for (const std::string& line : advice)
            host_.appendAdvice(line);
        if (advice.empty() && driver_.accessDenied()) host_.appendAdvice(kAccessDeniedText);
        if (!failureHint_.empty()) host_.appendAdvice(failureHint_);
        host_.setStatusText(kClosedText);
        return;
    }
    PortHandle_ = nextHandle_++;
    if (nextHandle_ == 0) nextHandle_ = 1;
    driver_.setBaudRate(kBaudRate);
    driver_.setDataCharacteristics(8, 0, 0);
    driver_.setTimeouts(kReadTimeoutMs, 0);
    driver_.setFlowControl(0, 0, 0);
    driver_.purge();
    host_.setStatusText(kOpenText);
    for (const std::string& line : driver_.openNotes())
        host_.appendLine(line);
}

// A reconnection that worked says so where the user looks, as the hot-plug does.
void UsbPort::ReconnectUSB() {
    if (PortHandle_ != 0) driver_.resetDevice();
    OpenUsbPort();
    if (PortHandle_ != 0) host_.appendLine(kConnectedText);
}

void UsbPort::instrumentAppeared() {
    if (PortHandle_ == 0) ReconnectUSB();
}

void UsbPort::instrumentGone() {
    if (PortHandle_ == 0) return;
    driver_.close();
    PortHandle_ = 0;
    host_.setStatusText(kClosedText);
}

void UsbPort::closeAtExit() {
    if (PortHandle_ == 0) return;
    driver_.close();
    PortHandle_ = 0;
}

void UsbPort::purge() {
    if (PortHandle_ != 0) driver_.purge();
}

void UsbPort::write(std::span<const uint8_t> bytes) {
    if (PortHandle_ != 0) driver_.write(bytes);
}

ReadResult UsbPort::read(std::span<uint8_t> buffer) {
    Clock& clock = host_.clock();
    const int64_t deadlineUs = clock.nowUs() + int64_t{kReadTimeoutMs} * 1000;
    ReadResult r{0, ReadStatus::Error};
    if (PortHandle_ != 0) r = driver_.read(buffer);
    // The device went away (unplugged, or the tty hung up): the port is closed from here on, as
    // the status bar says, until Reconnect USB finds it again.
    if (r.status == ReadStatus::HangUp && PortHandle_ != 0) {
        driver_.close();
        PortHandle_ = 0;
        host_.setStatusText(kClosedText);
    }
    // A read that ends early without its bytes (closed port, hang-up) still takes the whole
    // read time-out, as the driver's does, so no wait loop above it can spin.
    if (r.count < buffer.size() && r.status != ReadStatus::Timeout) clock.sleepUntilUs(deadlineUs);
    return r;
}

}  // namespace vrn
