#include "ports/searching_port.h"

namespace vrn {

bool SearchingPort::openEx(std::string_view description) {
    close();
    accessDenied_ = false;
    advice_.clear();
    notes_.clear();
    const std::vector<AttachedInstrument> attached =
        options_.attached ? options_.attached() : std::vector<AttachedInstrument>{};
    if (attached.size() > 1 && options_.several == Several::Refuse) {
        advice_ = severalInstrumentsAdvice(attached);
        return false;
    }
    for (const auto& backend : backends_) {
        if (backend->openEx(description)) {
            open_ = backend.get();
            notes_ = otherInstrumentsNote(attached);
            return true;
        }
        accessDenied_ = accessDenied_ || backend->accessDenied();
        if (advice_.empty()) advice_ = backend->openFailureAdvice();
    }
    if (advice_.empty() && options_.explain) advice_ = options_.explain();
    return false;
}

void SearchingPort::setBaudRate(uint32_t baud) {
    if (open_ != nullptr) open_->setBaudRate(baud);
}

void SearchingPort::setDataCharacteristics(uint8_t wordLength, uint8_t stopBits, uint8_t parity) {
    if (open_ != nullptr) open_->setDataCharacteristics(wordLength, stopBits, parity);
}

void SearchingPort::setTimeouts(uint32_t readMs, uint32_t writeMs) {
    if (open_ != nullptr) open_->setTimeouts(readMs, writeMs);
}

void SearchingPort::setFlowControl(uint16_t mode, uint8_t xon, uint8_t xoff) {
    if (open_ != nullptr) open_->setFlowControl(mode, xon, xoff);
}

void SearchingPort::purge() {
    if (open_ != nullptr) open_->purge();
}

void SearchingPort::write(std::span<const uint8_t> bytes) {
    if (open_ != nullptr) open_->write(bytes);
}

ReadResult SearchingPort::read(std::span<uint8_t> buffer) {
    if (open_ == nullptr) return {0, ReadStatus::Error};
    return open_->read(buffer);
}

void SearchingPort::close() {
    if (open_ == nullptr) return;
    open_->close();
    open_ = nullptr;
}

void SearchingPort::resetDevice() {
    if (open_ != nullptr) open_->resetDevice();
}

}  // namespace vrn
