#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/link/clock.h"
#include "core/link/port.h"
#include "ports/ftdi_library.h"
#include "ports/port_info.h"

namespace vrn {

// The instrument's bridge driven directly over USB through libftdi1, for a bridge that the
// kernel's serial driver does not claim.
class FtdiPort final : public Port {
public:
    // FTDI's vendor id and the product ids its bridges carry out of the factory.
    static constexpr uint16_t kVendorId = 0x0403;
    static constexpr uint16_t kProductIds[] = {0x6001, 0x6010, 0x6011, 0x6014, 0x6015};
    // The bridge sends what it holds after this long (its default is 16 ms).
    static constexpr uint8_t kLatencyMs = 1;
    // The gap between two polls of the bridge while a read waits for its bytes.
    static constexpr int64_t kPollGapUs = 200;

    // The prefix of a bridge's name in the port list: "ftdi:BUS:ADDRESS".
    static constexpr const char* kNamePrefix = "ftdi:";

    // With a name from the port list, openEx opens that bridge whatever its description; with
    // "serial:NUMBER", the bridge with that USB serial number; without, it finds the bridge by
    // its description.
    explicit FtdiPort(std::string name = {});
    // The same on a library and a clock of the caller's (tests).
    FtdiPort(std::string name, std::unique_ptr<FtdiLibrary> library, Clock& clock);
    ~FtdiPort() override;
    FtdiPort(const FtdiPort&) = delete;
    FtdiPort& operator=(const FtdiPort&) = delete;

    bool openEx(std::string_view description) override;
    void setBaudRate(uint32_t baud) override;
    void setDataCharacteristics(uint8_t wordLength, uint8_t stopBits, uint8_t parity) override;
    void setTimeouts(uint32_t readMs, uint32_t writeMs) override;
    void setFlowControl(uint16_t mode, uint8_t xon, uint8_t xoff) override;
    void purge() override;
    void write(std::span<const uint8_t> bytes) override;
    ReadResult read(std::span<uint8_t> buffer) override;
    void close() override;
    // A USB reset of the bridge.
    void resetDevice() override;
    bool accessDenied() const override { return accessDenied_; }

    // Every FTDI bridge on the USB, the instrument's marked.
    static std::vector<HardwarePortInfo> list();

private:
    std::string name_;
    std::unique_ptr<Clock> ownClock_;
    Clock& clock_;
    std::unique_ptr<FtdiLibrary> ftdi_;
    bool open_ = false;
    uint32_t readTimeoutMs_ = 250;
    bool accessDenied_ = false;
};

}  // namespace vrn
