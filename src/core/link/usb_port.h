#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <utility>

#include "core/link/port.h"

namespace vrn {

class Host;

using PortHandle = uint32_t;

// The one USB port to the instrument: opened at start-up and on reconnect, closed at exit.
class UsbPort {
public:
    static constexpr const char* kDescription = "VARNO 41700 USB";
    static constexpr uint32_t kBaudRate = 1250000;
    static constexpr uint32_t kReadTimeoutMs = 250;
    static constexpr int64_t kReopenWaitMs = 2000;
    static constexpr const char* kOpenText = "VARNO 41700 USB: Port Open";
    static constexpr const char* kClosedText = "USB port closed";
    static constexpr const char* kCannotOpenText = "Cannot open VARNO 41700 USB port.";
    // The message-area line after Reconnect USB, or a plugged-in instrument, opened the port.
    static constexpr const char* kConnectedText = "41700 CONNECTED";
    // After the box when the device is there but this user may not open it; the names are the
    // installed udev rule's file and the group that owns serial ports.
    static constexpr const char* kAccessDeniedText =
        "USB PORT ACCESS DENIED: INSTALL UDEV RULE 70-vrncomm.rules, OR JOIN THE dialout GROUP AND LOG "
        "IN AGAIN.";

    UsbPort(Port& driver, Host& host) : driver_(driver), host_(host) {}

    // 0 means no port is open.
    PortHandle handle() const { return PortHandle_; }
    bool isOpen() const { return PortHandle_ != 0; }

    // A line after the advice of an open that failed: how to go on without an instrument.
    void setFailureHint(std::string hint) { failureHint_ = std::move(hint); }

    void OpenUsbPort();
    void ReconnectUSB();
    void closeAtExit();

    // The machine's device events. An instrument plugged in while the port is closed is opened
    // as Reconnect USB opens it; one unplugged closes the port at once, also under an exchange,
    // which then ends as it does when the device hangs up.
    void instrumentAppeared();
    void instrumentGone();

    // Driver calls for the exchange and the block transfers; nothing is sent while closed.
    void purge();
    void write(std::span<const uint8_t> bytes);
    ReadResult read(std::span<uint8_t> buffer);

private:
    Port& driver_;
    Host& host_;
    PortHandle PortHandle_ = 0;
    PortHandle nextHandle_ = 1;
    std::string failureHint_;
};

}  // namespace vrn
