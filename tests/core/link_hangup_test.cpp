// The instrument's port going away under a running exchange: unplugged, or the tty hung up.
#include <gtest/gtest.h>

#include <functional>

#include "core/link/exchange.h"
#include "core/link/port.h"
#include "core/link/usb_port.h"
#include "core/service/echo.h"
#include "recording_host.h"

namespace vrn::test {
namespace {

// A port that opens, takes every byte, and reports a hang-up on every read once unplugged.
class UnpluggablePort final : public Port {
public:
    bool plugged = true;
    int reads = 0;
    int writes = 0;
    int opens = 0;
    int closes = 0;

    bool openEx(std::string_view) override {
        ++opens;
        return plugged;
    }
    void setBaudRate(uint32_t) override {}
    void setDataCharacteristics(uint8_t, uint8_t, uint8_t) override {}
    void setTimeouts(uint32_t, uint32_t) override {}
    void setFlowControl(uint16_t, uint8_t, uint8_t) override {}
    void purge() override {}
    void write(std::span<const uint8_t>) override { ++writes; }
    ReadResult read(std::span<uint8_t>) override {
        ++reads;
        return {0, plugged ? ReadStatus::Timeout : ReadStatus::HangUp};
    }
    void close() override { ++closes; }
    void resetDevice() override {}
};

TEST(LinkHangUp, EachWaitEndsAtTheFirstHungUpReadAndThePortIsClosed) {
    struct Row {
        const char* name;
        int commandBytes;  // what it sends before it reads: one write a byte
        std::function<Outcome(Exchange&)> run;
    };
    const Row rows[] = {
        {"marker wait", 0, [](Exchange& ex) { return ex.WaitForByte(Exchange::kAck, 60); }},
        {"query", 7,
         [](Exchange& ex) {
             std::string reply;
             return ex.query({"CMD255\r", 3, true, "CANNOT GET X."}, reply);
         }},
        {"setting", 9, [](Exchange& ex) { return ex.setting("CMD250 5\r"); }},
        {"echo wait", 0, [](Exchange& ex) { return service::echoUntilAck(ex, {.silenceMs = 60000}); }},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        RecordingHost host;
        UnpluggablePort driver;
        UsbPort usb(driver, host);
        usb.OpenUsbPort();
        Exchange ex(usb, host);
        ASSERT_TRUE(usb.isOpen());
        driver.plugged = false;
        const int writesBefore = driver.writes;
        const int64_t started = host.clock().nowMs();

        EXPECT_EQ(r.run(ex).kind(), Outcome::Kind::PortGone);
        EXPECT_EQ(driver.reads, 1) << "nothing read after the hang-up";
        EXPECT_LE(host.clock().nowMs() - started,
                  int64_t{UsbPort::kReadTimeoutMs} + Exchange::kQueryPauseMs + 20);
        EXPECT_EQ(driver.writes - writesBefore, r.commandBytes) << "no retries";
        EXPECT_FALSE(usb.isOpen());
        EXPECT_EQ(driver.closes, 1);
        EXPECT_EQ(host.status, UsbPort::kClosedText);
    }
}

TEST(LinkHangUp, ReconnectFindsThePortOnceItIsBack) {
    RecordingHost host;
    UnpluggablePort driver;
    UsbPort usb(driver, host);
    usb.OpenUsbPort();
    Exchange ex(usb, host);
    driver.plugged = false;
    EXPECT_FALSE(ex.WaitForByte(Exchange::kAck, 2).ok());
    ASSERT_FALSE(usb.isOpen());

    driver.plugged = true;
    usb.ReconnectUSB();
    EXPECT_TRUE(usb.isOpen());
    EXPECT_EQ(host.status, UsbPort::kOpenText);
    EXPECT_EQ(driver.opens, 2);
    EXPECT_TRUE(host.boxes.empty());
}

}  // namespace
}  // namespace vrn::test
