#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "core/link/outcome.h"

namespace vrn {
class Exchange;
class Host;
struct WaitRule;
}  // namespace vrn

namespace vrn::service {

// Writes the instrument's text into the message area as it comes: each carriage return ends a line
// (the line feed the memo needs after it is implied by the new line), and a line that a read cut
// in two goes on where it stopped. The first byte starts a line of its own.
class EchoWriter {
public:
    explicit EchoWriter(Host& host) : host_(host) {}
    void write(std::span<const uint8_t> bytes);

private:
    void emit(std::span<const uint8_t> segment);

    Host& host_;
    bool lineOpen_ = false;
};

// Shows what the instrument sends until it sends "*" (the rest of that read is dropped), or until
// the caller's rule ends the wait: Failed at its bounds, with the default beep; PortGone when the
// port goes, with the beep; Aborted at the abort. Every read that brought bytes is progress.
Outcome echoUntilAck(Exchange& ex, const WaitRule& rule);

}  // namespace vrn::service
