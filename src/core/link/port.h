#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vrn {

enum class ReadStatus : uint8_t {
    Complete,  // all bytes asked for arrived
    Timeout,   // the read time-out ended first
    HangUp,    // the device went away
    Error,     // any other failure of the driver
};

struct ReadResult {
    size_t count = 0;  // exact number of bytes placed in the buffer
    ReadStatus status = ReadStatus::Timeout;
};

// The USB driver operations the program relies on, and nothing more. Backends: the serial tty,
// raw FTDI through libftdi1, and the simulated instrument.
class Port {
public:
    virtual ~Port() = default;

    // Opens the device by its USB description; true on success.
    virtual bool openEx(std::string_view description) = 0;
    virtual void setBaudRate(uint32_t baud) = 0;
    // wordLength 8, stopBits 0 = one, parity 0 = none.
    virtual void setDataCharacteristics(uint8_t wordLength, uint8_t stopBits, uint8_t parity) = 0;
    // A read returns at the latest readMs after it started.
    virtual void setTimeouts(uint32_t readMs, uint32_t writeMs) = 0;
    // 0 = no flow control.
    virtual void setFlowControl(uint16_t mode, uint8_t xon, uint8_t xoff) = 0;
    // Empties the receive and transmit buffers.
    virtual void purge() = 0;
    virtual void write(std::span<const uint8_t> bytes) = 0;
    // Returns when buffer.size() bytes came or the read time-out ended.
    virtual ReadResult read(std::span<uint8_t> buffer) = 0;
    virtual void close() = 0;
    // The reconnect call: makes the device start afresh before it is closed and reopened.
    virtual void resetDevice() = 0;
    // Whether the last openEx failed because the device is there but this user may not open it.
    virtual bool accessDenied() const { return false; }
    // After a failed openEx: why, in one or two lines for the message area, with how to mend it;
    // empty when the driver cannot tell.
    virtual std::vector<std::string> openFailureAdvice() const { return {}; }
    // After a successful openEx: what the user should know about the device taken (that others
    // were attached), in lines for the message area; usually nothing.
    virtual std::vector<std::string> openNotes() const { return {}; }
};

}  // namespace vrn
