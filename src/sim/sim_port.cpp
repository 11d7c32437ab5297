#include "sim/sim_port.h"

#include "core/link/clock.h"
#include "sim/instrument.h"

namespace vrn::sim {

bool SimPort::openEx(std::string_view) {
    ++opens;
    open_ = present && !denied && !instrument_.poweredOff();
    return open_;
}

void SimPort::setDataCharacteristics(uint8_t wordLength, uint8_t, uint8_t) {
    wordLength_ = wordLength;
}

void SimPort::setTimeouts(uint32_t readMs, uint32_t) {
    readTimeoutMs_ = readMs;
}

void SimPort::purge() {
    ++purges;
    instrument_.discardArrived(clock_.nowUs());
}

void SimPort::write(std::span<const uint8_t> bytes) {
    if (!open_) return;
    const int64_t now = clock_.nowUs();
    for (uint8_t b : bytes)
        written.push_back({now, b});
    instrument_.receive(bytes);
}

ReadResult SimPort::read(std::span<uint8_t> buffer) {
    if (!open_) return {0, ReadStatus::Error};
    if (instrument_.poweredOff()) return {0, ReadStatus::HangUp};
    const ReadResult result = readFromInstrument(buffer);
    received.insert(received.end(), buffer.begin(),
                    buffer.begin() + static_cast<std::ptrdiff_t>(result.count));
    return result;
}

ReadResult SimPort::readFromInstrument(std::span<uint8_t> buffer) {
    const int64_t deadline = clock_.nowUs() + int64_t{readTimeoutMs_} * 1000;
    size_t got = 0;
    for (;;) {
        got += instrument_.take(buffer.subspan(got), clock_.nowUs());
        if (got == buffer.size()) return {got, ReadStatus::Complete};
        const auto next = instrument_.nextOutputUs();
        if (!next || *next > deadline) break;
        clock_.sleepUntilUs(*next);
    }
    clock_.sleepUntilUs(deadline);
    got += instrument_.take(buffer.subspan(got), clock_.nowUs());
    return {got, got == buffer.size() ? ReadStatus::Complete : ReadStatus::Timeout};
}

void SimPort::close() {
    ++closes;
    open_ = false;
}

}  // namespace vrn::sim
