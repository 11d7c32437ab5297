#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/link/port.h"
#include "ports/port_info.h"

class QSerialPort;

namespace vrn {

// The instrument's bridge as a serial tty, driven by the kernel's FTDI driver through
// QSerialPort. Needs a QCoreApplication in the process.
class SerialPort final : public Port {
public:
    // Bounds the wait for a written byte to reach the kernel (the tty never holds it back without
    // flow control; this only keeps a wedged driver from hanging the window).
    static constexpr int kWriteWaitMs = 1000;

    // With a device path, openEx opens that tty whatever the description; with "serial:NUMBER",
    // the tty of the USB device with that serial number; without, it finds the tty by its USB
    // description.
    explicit SerialPort(std::string devicePath = {});
    ~SerialPort() override;
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    bool openEx(std::string_view description) override;
    void setBaudRate(uint32_t baud) override;
    void setDataCharacteristics(uint8_t wordLength, uint8_t stopBits, uint8_t parity) override;
    void setTimeouts(uint32_t readMs, uint32_t writeMs) override;
    void setFlowControl(uint16_t mode, uint8_t xon, uint8_t xoff) override;
    void purge() override;
    void write(std::span<const uint8_t> bytes) override;
    ReadResult read(std::span<uint8_t> buffer) override;
    void close() override;
    // A tty offers no reset of the bridge: this drops what is buffered and forgets a past error;
    // the close and the reopen after two seconds that follow it are the real reconnect.
    // After a hang-up the port has let go of the tty: reads tell HangUp until it is reopened.
    void resetDevice() override;
    bool accessDenied() const override { return accessDenied_; }
    // For a named device: the device and the system's reason it could not be opened.
    std::vector<std::string> openFailureAdvice() const override { return openFailure_; }

    // The tty that was opened, empty when none, and its descriptor (-1 when not open).
    const std::string& openDevice() const;
    int nativeHandle() const;

    // Why the tty at path cannot be opened as a serial port, in the system's words: missing,
    // not a serial device, permission denied, or held by another program.
    static std::string whyNotOpened(const std::string& path, bool heldByQt);

    // Every serial port of the PC, the instrument's marked.
    static std::vector<HardwarePortInfo> list();
    // The tty whose USB description matches, if one is attached.
    static std::optional<std::string> findByDescription(std::string_view description);

private:
    QSerialPort* live() const;  // the open tty, or null
    void letGo();               // closes a tty that was hung up
    ReadResult ended(size_t got, ReadStatus status);
    void requestLowLatency();

    std::string devicePath_;
    std::unique_ptr<QSerialPort> serial_;
    std::string openPath_;
    bool hungUp_ = false;
    bool accessDenied_ = false;
    std::vector<std::string> openFailure_;
    uint32_t readTimeoutMs_ = 250;
};

}  // namespace vrn
