#pragma once

#include <functional>
#include <optional>

#include "core/link/port.h"
#include "sim/sim_port.h"

namespace vrn::sim {
class Instrument;
}

namespace vrn::test {

// A station's port: the simulated instrument's, which tells when the instrument was asked for its
// records, and can go halfway through the download: after `loseAfter` bytes of the records have
// come, the instrument's power fails for `downUs`.
class StationPort final : public Port {
public:
    StationPort(sim::Instrument& instrument, Clock& clock, std::function<void()> recordsAsked,
                std::optional<size_t> loseAfter, int64_t downUs);

    bool openEx(std::string_view description) override;
    void setBaudRate(uint32_t baud) override { port_.setBaudRate(baud); }
    void setDataCharacteristics(uint8_t wordLength, uint8_t stopBits, uint8_t parity) override {
        port_.setDataCharacteristics(wordLength, stopBits, parity);
    }
    void setTimeouts(uint32_t readMs, uint32_t writeMs) override { port_.setTimeouts(readMs, writeMs); }
    void setFlowControl(uint16_t mode, uint8_t xon, uint8_t xoff) override {
        port_.setFlowControl(mode, xon, xoff);
    }
    void purge() override { port_.purge(); }
    void write(std::span<const uint8_t> bytes) override;
    ReadResult read(std::span<uint8_t> buffer) override;
    void close() override { port_.close(); }
    void resetDevice() override { port_.resetDevice(); }

private:
    sim::Instrument& instrument_;
    Clock& clock_;
    sim::SimPort port_;
    std::function<void()> recordsAsked_;
    std::optional<size_t> loseAfter_;
    int64_t downUs_;
    int downloads_ = 0;  // record downloads the instrument was asked for
    bool downloading_ = false;
    size_t recordBytes_ = 0;  // bytes read since the first download was asked for
};

}  // namespace vrn::test
