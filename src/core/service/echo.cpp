#include "core/service/echo.h"

#include <string_view>

#include "core/link/exchange.h"
#include "core/link/host.h"

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

Outcome echoUntilAck(Exchange& ex, const WaitRule& rule) {
    EchoWriter echo(ex.host());
    BufferReader reader(kEchoRead, [&echo](std::span<const uint8_t> bytes) {
        size_t shown = 0;
        while (shown < bytes.size() && bytes[shown] != Exchange::kAck)
            ++shown;
        echo.write(bytes.first(shown));
        if (shown < bytes.size()) return WaitStep::Over;
        return bytes.empty() ? WaitStep::GoesOn : WaitStep::Progress;
    });
    return ex.wait(rule, reader);
}

}  // namespace vrn::service
