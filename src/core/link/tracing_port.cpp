#include "core/link/tracing_port.h"

#include <string>
#include <utility>

namespace vrn {

TraceEvent TracingPort::event(TraceEvent::Kind kind) {
    TraceEvent e;
    e.us = clock_.nowUs() - startUs_;
    e.kind = kind;
    return e;
}

void TracingPort::setting(std::string text) {
    TraceEvent e = event(TraceEvent::Kind::Setting);
    e.text = std::move(text);
    sink_.record(std::move(e));
}

bool TracingPort::openEx(std::string_view description) {
    const bool opened = inner_.openEx(description);
    TraceEvent e = event(TraceEvent::Kind::Open);
    e.text = description;
    e.value = opened ? 1 : 0;
    sink_.record(std::move(e));
    return opened;
}

void TracingPort::setBaudRate(uint32_t baud) {
    inner_.setBaudRate(baud);
    setting("baud " + std::to_string(baud));
}

void TracingPort::setDataCharacteristics(uint8_t wordLength, uint8_t stopBits, uint8_t parity) {
    inner_.setDataCharacteristics(wordLength, stopBits, parity);
    setting("data bits " + std::to_string(wordLength) + ", stop bits code " + std::to_string(stopBits) +
            ", parity code " + std::to_string(parity));
}

void TracingPort::setTimeouts(uint32_t readMs, uint32_t writeMs) {
    inner_.setTimeouts(readMs, writeMs);
    setting("time-outs read " + std::to_string(readMs) + " ms, write " + std::to_string(writeMs) + " ms");
}

void TracingPort::setFlowControl(uint16_t mode, uint8_t xon, uint8_t xoff) {
    inner_.setFlowControl(mode, xon, xoff);
    setting("flow control " + std::to_string(mode) + " (xon " + std::to_string(xon) + ", xoff " +
            std::to_string(xoff) + ")");
}

void TracingPort::purge() {
    inner_.purge();
    sink_.record(event(TraceEvent::Kind::Purge));
}

void TracingPort::write(std::span<const uint8_t> bytes) {
    inner_.write(bytes);
    TraceEvent e = event(TraceEvent::Kind::Write);
    e.bytes.assign(bytes.begin(), bytes.end());
    sink_.record(std::move(e));
}

ReadResult TracingPort::read(std::span<uint8_t> buffer) {
    const ReadResult r = inner_.read(buffer);
    TraceEvent e = event(TraceEvent::Kind::Read);
    e.bytes.assign(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(r.count));
    e.status = r.status;
    e.value = static_cast<int64_t>(buffer.size());
    sink_.record(std::move(e));
    return r;
}

void TracingPort::close() {
    inner_.close();
    sink_.record(event(TraceEvent::Kind::Close));
}

void TracingPort::resetDevice() {
    inner_.resetDevice();
    sink_.record(event(TraceEvent::Kind::Reset));
}

void TracingClock::sleepMs(int64_t ms) {
    TraceEvent e;
    e.us = inner_.nowUs() - startUs_;
    e.kind = TraceEvent::Kind::Pause;
    e.value = ms;
    sink_.record(std::move(e));
    inner_.sleepMs(ms);
}

}  // namespace vrn
