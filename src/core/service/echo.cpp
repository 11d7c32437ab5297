#include "core/service/echo.h"

#include <string_view>
#include <vector>

#include "core/link/exchange.h"
#include "core/link/host.h"
#include "core/link/timer1.h"
#include "core/link/usb_port.h"

namespace vrn::service {
namespace {

constexpr size_t kEchoRead = 1000;

}  // namespace

void EchoWriter::write(std::span<const uint8_t> bytes) {
    size_t start = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r') continue;
        emit(bytes.subspan(start, i - start));
        lineOpen_ = false;
        start = i + 1;
    }
    if (start < bytes.size()) {
        emit(bytes.subspan(start));
        lineOpen_ = true;
    }
}

void EchoWriter::emit(std::span<const uint8_t> segment) {
    const std::string_view text(reinterpret_cast<const char*>(segment.data()), segment.size());
    if (lineOpen_)
        host_.appendText(text);
    else
        host_.appendLine(text);
}

Outcome echoUntilAck(Exchange& ex, int seconds) {
    Host& host = ex.host();
    Timer1& timer = host.timer();
    ex.armWait(seconds);
    std::vector<uint8_t> buffer(kEchoRead);
    EchoWriter echo(host);
    for (;;) {
        const size_t count = ex.port().read(buffer).count;
        size_t shown = 0;
        while (shown < count && buffer[shown] != Exchange::kAck)
            ++shown;
        echo.write(std::span(buffer).first(shown));
        if (shown < count) return Outcome::done();
        // A limit on silence, not on the whole: readings may stream for longer than it.
        if (count > 0) timer.arm(seconds * 2);
        if (!ex.port().isOpen()) break;
        host.pump();
        if (ex.WaitAborted()) return Outcome::aborted();
        if (timer.timedOut()) break;
    }
    host.beep(BeepKind::Default);
    return ex.failure();
}

}  // namespace vrn::service
