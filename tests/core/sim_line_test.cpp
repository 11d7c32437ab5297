// The in-process simulated instrument takes what the PC writes at the line's rate, on virtual time.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/instrument.h"
#include "sim/sim_port.h"
#include "sim_link.h"

namespace vrn {
namespace {

using sim::Instrument;

std::span<const uint8_t> bytesOf(const std::string& text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

// Each row writes its pieces back to back at one moment; the reply to the command in the last
// piece starts its latency once the line has carried every byte before it.
TEST(SimLine, WrittenBytesCrossTheLineABytesTimeEach) {
    struct Row {
        const char* name;
        std::vector<std::string> writes;
    } rows[] = {
        {"a command in one write", {"CMD255\r"}},
        {"a command in two writes", {"CMD2", "55\r"}},
        {"a kilobyte of noise, then the command", {std::string(1024, 'x'), "CMD255\r"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        test::SimLink link;
        link.usb.OpenUsbPort();
        link.host.clock_.sleepMs(5);
        const int64_t start = link.host.clock_.nowUs();
        size_t bytes = 0;
        for (const std::string& w : r.writes) {
            link.driver.write(bytesOf(w));
            bytes += w.size();
        }
        const int64_t wireUs = static_cast<int64_t>(bytes) * Instrument::kByteTimeUs;
        // The write does not wait for the line, as a serial port's buffer takes the bytes.
        EXPECT_EQ(link.host.clock_.nowUs(), start);
        EXPECT_EQ(link.instrument.lineInFreeUs(), start + wireUs);
        ASSERT_EQ(link.instrument.nextOutputUs(),
                  start + wireUs + Instrument::kReplyLatencyUs + Instrument::kByteTimeUs);
        EXPECT_EQ(link.instrument.commandCounts[255], 1);
    }
}

// Bytes written while the line still carries earlier ones wait for them.
TEST(SimLine, AWriteWaitsForWhatTheLineStillCarries) {
    test::SimLink link;
    link.usb.OpenUsbPort();
    link.host.clock_.sleepMs(5);
    const int64_t start = link.host.clock_.nowUs();
    link.driver.write(bytesOf(std::string(100, 'x')));
    link.host.clock_.sleepUntilUs(start + 50 * Instrument::kByteTimeUs);
    link.driver.write(bytesOf("CMD255\r"));
    EXPECT_EQ(link.instrument.lineInFreeUs(), start + 107 * Instrument::kByteTimeUs);
    // Once the line is quiet, a write starts at its own moment.
    link.host.clock_.sleepUntilUs(start + 1000000);
    link.driver.write(bytesOf("x"));
    EXPECT_EQ(link.instrument.lineInFreeUs(), start + 1000000 + Instrument::kByteTimeUs);
}

}  // namespace
}  // namespace vrn
