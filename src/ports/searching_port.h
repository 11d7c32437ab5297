#pragma once

#include "core/link/port.h"
#include "ports/ftdi_port.h"
#include "ports/serial_port.h"

namespace vrn {

// Finds the instrument by its description on every open: first as a serial tty of the kernel's
// driver, then as a raw FTDI bridge; the other operations go to whichever backend opened it.
class SearchingPort final : public Port {
public:
    bool openEx(std::string_view description) override;
    void setBaudRate(uint32_t baud) override;
    void setDataCharacteristics(uint8_t wordLength, uint8_t stopBits, uint8_t parity) override;
    void setTimeouts(uint32_t readMs, uint32_t writeMs) override;
    void setFlowControl(uint16_t mode, uint8_t xon, uint8_t xoff) override;
    void purge() override;
    void write(std::span<const uint8_t> bytes) override;
    ReadResult read(std::span<uint8_t> buffer) override;
    void close() override;
    void resetDevice() override;

private:
    SerialPort serial_;
    FtdiPort ftdi_;
    Port* open_ = nullptr;  // the backend that found the device
};

}  // namespace vrn
