#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/link/port.h"
#include "ports/instrument_choice.h"

namespace vrn {

// Finds the instrument by its description (or a backend's own choice) on every open, asking each backend in
// turn (the serial tty of the kernel's driver first, then the raw FTDI bridge); the other operations go to
// whichever backend opened it.
class SearchingPort final : public Port {
public:
    // What an open does when several instruments are attached.
    enum class Several {
        TakeFirst,  // the window: open the first, and say which and what else is there
        Refuse,     // a script: open none, and list them, so the wrong one is never changed
    };
    struct Options {
        // Tells why no backend found the device (see openFailureAdvice).
        std::function<std::vector<std::string>()> explain;
        // Lists the instruments attached before each open.
        std::function<std::vector<AttachedInstrument>()> attached;
        Several several = Several::TakeFirst;
    };

    explicit SearchingPort(std::vector<std::unique_ptr<Port>> backends) : backends_(std::move(backends)) {}
    SearchingPort(std::vector<std::unique_ptr<Port>> backends, Options options)
        : backends_(std::move(backends)), options_(std::move(options)) {}

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
    // A backend's own reason when it found the device, else the explanation.
    std::vector<std::string> openFailureAdvice() const override { return advice_; }
    std::vector<std::string> openNotes() const override { return notes_; }

private:
    std::vector<std::unique_ptr<Port>> backends_;
    Port* open_ = nullptr;  // the backend that found the device
    bool accessDenied_ = false;
    Options options_;
    std::vector<std::string> advice_;
    std::vector<std::string> notes_;
};

}  // namespace vrn
