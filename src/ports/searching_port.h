#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/link/port.h"

namespace vrn {

// Finds the instrument by its description on every open, asking each backend in turn (the
// serial tty of the kernel's driver first, then the raw FTDI bridge); the other operations go to
// whichever backend opened it.
class SearchingPort final : public Port {
public:
    // explain, when given, tells why no backend found the device (see openFailureAdvice).
    explicit SearchingPort(std::vector<std::unique_ptr<Port>> backends,
                           std::function<std::vector<std::string>()> explain = {})
        : backends_(std::move(backends)), explain_(std::move(explain)) {}

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
    // Whether a backend found the device but may not open it.
    bool accessDenied() const override { return accessDenied_; }
    std::vector<std::string> openFailureAdvice() const override { return advice_; }

private:
    std::vector<std::unique_ptr<Port>> backends_;
    Port* open_ = nullptr;  // the backend that found the device
    bool accessDenied_ = false;
    std::function<std::vector<std::string>()> explain_;
    std::vector<std::string> advice_;
};

}  // namespace vrn
