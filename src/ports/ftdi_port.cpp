#include "ports/ftdi_port.h"

#include <algorithm>

#include "ports/instrument_choice.h"
#include "ports/real_clock.h"

namespace vrn {
namespace {

std::string bridgeName(const FtdiLibrary::Bridge& b) {
    return FtdiPort::kNamePrefix + std::to_string(b.bus) + ":" + std::to_string(b.address);
}

// libftdi's codes for the line settings.
constexpr int kBits7 = 7;
constexpr int kBits8 = 8;

}  // namespace

FtdiPort::FtdiPort(std::string name)
    : name_(std::move(name)),
      ownClock_(std::make_unique<RealClock>()),
      clock_(*ownClock_),
      ftdi_(makeLibFtdi()) {}

FtdiPort::FtdiPort(std::string name, std::unique_ptr<FtdiLibrary> library, Clock& clock)
    : name_(std::move(name)), clock_(clock), ftdi_(std::move(library)) {}

FtdiPort::~FtdiPort() {
    close();
}

std::vector<HardwarePortInfo> FtdiPort::list() {
    std::vector<HardwarePortInfo> bridges;
    for (FtdiLibrary::Bridge& b : makeLibFtdi()->usbFindAll(kVendorId, kProductIds)) {
        const bool instrument = describesInstrument(b.description);
        bridges.push_back({bridgeName(b), std::move(b.description), instrument, std::move(b.serial)});
    }
    return bridges;
}

bool FtdiPort::openEx(std::string_view description) {
    close();
    accessDenied_ = false;
    const std::optional<std::string> serial = chosenSerial(name_);
    for (const FtdiLibrary::Bridge& b : ftdi_->usbFindAll(kVendorId, kProductIds)) {
        const bool wanted = name_.empty() ? sameDescription(b.description, description)
                            : serial      ? !serial->empty() && b.serial == *serial
                                          : bridgeName(b) == name_;
        if (!wanted) continue;
        if (ftdi_->usbOpenDev(b) == 0) {
            open_ = true;
            ftdi_->setLatencyTimer(kLatencyMs);
            return true;
        }
        accessDenied_ = accessDenied_ || ftdi_->accessDenied(b);
    }
    return false;
}

void FtdiPort::setBaudRate(uint32_t baud) {
    if (open_) ftdi_->setBaudrate(static_cast<int>(baud));
}

void FtdiPort::setDataCharacteristics(uint8_t wordLength, uint8_t stopBits, uint8_t parity) {
    // The driver's codes are libftdi's: bits 7 or 8, stop bits 0/1/2, parity 0..4.
    if (open_) ftdi_->setLineProperty(wordLength == kBits7 ? kBits7 : kBits8, stopBits, parity);
}

void FtdiPort::setTimeouts(uint32_t readMs, uint32_t) {
    readTimeoutMs_ = readMs;
    // One USB transfer never outlasts the read time-out; reads loop on their own deadline.
    if (open_) ftdi_->setUsbReadTimeout(static_cast<int>(readMs));
}

void FtdiPort::setFlowControl(uint16_t mode, uint8_t, uint8_t) {
    // The driver's codes are libftdi's: 0 none, 0x100 RTS/CTS, 0x200 DTR/DSR, 0x400 XON/XOFF.
    if (open_) ftdi_->setFlowCtrl(mode);
}

void FtdiPort::purge() {
    if (open_) ftdi_->tcioflush();
}

void FtdiPort::write(std::span<const uint8_t> bytes) {
    if (open_ && !bytes.empty()) ftdi_->writeData(bytes);
}

ReadResult FtdiPort::read(std::span<uint8_t> buffer) {
    if (!open_) return {0, ReadStatus::Error};
    // A read returns with what the bridge had, often nothing: poll up to one deadline.
    const int64_t deadlineUs = clock_.nowUs() + int64_t{readTimeoutMs_} * 1000;
    size_t got = 0;
    for (;;) {
        const int n = ftdi_->readData(buffer.subspan(got));
        if (n < 0) return {got, FtdiLibrary::meansGone(n) ? ReadStatus::HangUp : ReadStatus::Error};
        got += std::min(static_cast<size_t>(n), buffer.size() - got);
        if (got == buffer.size()) return {got, ReadStatus::Complete};
        if (clock_.nowUs() >= deadlineUs) return {got, ReadStatus::Timeout};
        if (n == 0) clock_.sleepUntilUs(std::min(clock_.nowUs() + kPollGapUs, deadlineUs));
    }
}

void FtdiPort::close() {
    if (!open_) return;
    ftdi_->usbClose();
    open_ = false;
}

void FtdiPort::resetDevice() {
    if (open_) ftdi_->usbReset();
}

}  // namespace vrn
