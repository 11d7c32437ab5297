#pragma once

#include <vector>

#include "core/link/port.h"

namespace vrn {
class Clock;
}

namespace vrn::sim {

class Instrument;

// The simulated instrument behind the Port operations, in process, on any Clock. A read that
// finds nothing waits on the Clock until the next reply byte or the read time-out.
class SimPort final : public Port {
public:
    SimPort(Instrument& instrument, Clock& clock) : instrument_(instrument), clock_(clock) {}

    bool openEx(std::string_view description) override;
    void setBaudRate(uint32_t baud) override { baud_ = baud; }
    void setDataCharacteristics(uint8_t wordLength, uint8_t stopBits, uint8_t parity) override;
    void setTimeouts(uint32_t readMs, uint32_t writeMs) override;
    void setFlowControl(uint16_t mode, uint8_t, uint8_t) override { flowControl_ = mode; }
    void purge() override;
    void write(std::span<const uint8_t> bytes) override;
    ReadResult read(std::span<uint8_t> buffer) override;
    void close() override;
    void resetDevice() override { ++resets; }
    bool accessDenied() const override { return present && denied; }

    // Whether an open finds the instrument (unplugged when false).
    bool present = true;
    // Whether the instrument is there but this user may not open it.
    bool denied = false;

    // What the program did with the driver, for tests.
    int opens = 0;
    int closes = 0;
    int resets = 0;
    int purges = 0;
    uint32_t baud() const { return baud_; }
    uint8_t wordLength() const { return wordLength_; }
    uint32_t readTimeoutMs() const { return readTimeoutMs_; }
    bool isOpen() const { return open_; }
    // Every byte written, with the time it was written.
    struct Written {
        int64_t atUs;
        uint8_t byte;
    };
    std::vector<Written> written;
    // Every byte a read returned, in order.
    std::vector<uint8_t> received;

private:
    ReadResult readFromInstrument(std::span<uint8_t> buffer);

    Instrument& instrument_;
    Clock& clock_;
    bool open_ = false;
    uint32_t baud_ = 0;
    uint8_t wordLength_ = 0;
    uint16_t flowControl_ = 0xffff;
    uint32_t readTimeoutMs_ = 0;
};

}  // namespace vrn::sim
