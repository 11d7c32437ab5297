#pragma once

#include <memory>
#include <utility>

#include "core/link/clock.h"
#include "core/link/port.h"
#include "core/link/trace.h"

namespace vrn {

// The port with every driver call recorded on a trace sink as it happens, timed on the clock
// from the moment the trace started. What the caller sees is the inner port's own behaviour.
class TracingPort final : public Port {
public:
    TracingPort(Port& inner, Clock& clock, TraceSink& sink, int64_t startUs)
        : inner_(inner), clock_(clock), sink_(sink), startUs_(startUs) {}
    // The same around a port it then owns.
    TracingPort(std::unique_ptr<Port> owned, Clock& clock, TraceSink& sink, int64_t startUs)
        : owned_(std::move(owned)), inner_(*owned_), clock_(clock), sink_(sink), startUs_(startUs) {}

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
    bool accessDenied() const override { return inner_.accessDenied(); }
    std::vector<std::string> openFailureAdvice() const override { return inner_.openFailureAdvice(); }

private:
    TraceEvent event(TraceEvent::Kind kind);
    void setting(std::string text);

    std::unique_ptr<Port> owned_;
    Port& inner_;
    Clock& clock_;
    TraceSink& sink_;
    int64_t startUs_;
};

// The clock with its pauses (sleepMs) recorded on a trace sink; the send routine's pacing and
// the waits until a time are not, they would bury the bytes.
class TracingClock final : public Clock {
public:
    TracingClock(Clock& inner, TraceSink& sink, int64_t startUs)
        : inner_(inner), sink_(sink), startUs_(startUs) {}

    int64_t nowUs() override { return inner_.nowUs(); }
    int64_t wallSeconds() override { return inner_.wallSeconds(); }
    LocalDateTime localNow() override { return inner_.localNow(); }
    void sleepMs(int64_t ms) override;
    void sleepUntilUs(int64_t us) override { inner_.sleepUntilUs(us); }
    void pace() override { inner_.pace(); }

private:
    Clock& inner_;
    TraceSink& sink_;
    int64_t startUs_;
};

}  // namespace vrn
