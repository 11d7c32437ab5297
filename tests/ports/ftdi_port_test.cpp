// FtdiPort over a recording stand-in for libftdi: every library call and its order, against what
// the port must do with the driver.
#include "ports/ftdi_port.h"

#include <gtest/gtest.h>

#include <deque>

#include "core/link/usb_port.h"
#include "core/link/virtual_clock.h"
#include "recording_host.h"

namespace vrn {
namespace {

class RecordingFtdi final : public FtdiLibrary {
public:
    struct Shared {
        std::vector<std::string> calls;
        std::vector<Bridge> bridges;
        int openStatus = 0;
        bool denied = false;
        std::deque<int> reads;  // what each readData returns: a count of 'x' bytes, or an error
    };
    explicit RecordingFtdi(Shared& shared) : s_(shared) {}

    std::vector<Bridge> usbFindAll(uint16_t vendorId, std::span<const uint16_t> productIds) override {
        std::string call = "usb_find_all " + hex(vendorId);
        for (const uint16_t p : productIds)
            call += " " + hex(p);
        s_.calls.push_back(call);
        return s_.bridges;
    }
    int usbOpenDev(const Bridge& b) override {
        s_.calls.push_back("usb_open_dev " + std::to_string(b.bus) + ":" + std::to_string(b.address));
        return s_.openStatus;
    }
    bool accessDenied(const Bridge&) override { return s_.denied; }
    int setLatencyTimer(uint8_t ms) override { return record("set_latency_timer " + std::to_string(ms)); }
    int setBaudrate(int baud) override { return record("set_baudrate " + std::to_string(baud)); }
    int setLineProperty(int bits, int stop, int parity) override {
        return record("set_line_property " + std::to_string(bits) + " " + std::to_string(stop) + " " +
                      std::to_string(parity));
    }
    void setUsbReadTimeout(int ms) override { record("usb_read_timeout " + std::to_string(ms)); }
    int setFlowCtrl(int mode) override { return record("setflowctrl " + std::to_string(mode)); }
    int tcioflush() override { return record("tcioflush"); }
    int writeData(std::span<const uint8_t> bytes) override {
        return record("write_data " + std::string(bytes.begin(), bytes.end()));
    }
    int readData(std::span<uint8_t> buffer) override {
        int n = 0;
        if (!s_.reads.empty()) {
            n = s_.reads.front();
            s_.reads.pop_front();
        }
        n = std::min(n, static_cast<int>(buffer.size()));
        for (int i = 0; i < n; ++i)
            buffer[static_cast<size_t>(i)] = 'x';
        ++readCalls;
        return n;
    }
    int usbClose() override { return record("usb_close"); }
    int usbReset() override { return record("usb_reset"); }

    int readCalls = 0;

private:
    static std::string hex(uint16_t v) {
        char text[8];
        std::snprintf(text, sizeof text, "%04x", v);
        return text;
    }
    int record(std::string call) {
        s_.calls.push_back(std::move(call));
        return 0;
    }
    Shared& s_;
};

const std::string kFind = "usb_find_all 0403 6001 6010 6011 6014 6015";

// Opening, Reconnect USB and closing at exit, driven by the port as the window drives it.
TEST(FtdiPort, OpensConfiguresReconnectsAndClosesInTheDriversOrder) {
    RecordingFtdi::Shared lib;
    lib.bridges = {{1, 4, "FT232R USB UART", 0, "AB0"}, {1, 5, "VARNO 41700 USB", 1, "FT1"}};
    test::RecordingHost host;
    FtdiPort port({}, std::make_unique<RecordingFtdi>(lib), host.clock_);
    UsbPort usb(port, host);
    usb.OpenUsbPort();
    ASSERT_TRUE(usb.isOpen());
    const std::vector<std::string> opened = {kFind,
                                             "usb_open_dev 1:5",
                                             "set_latency_timer 1",
                                             "set_baudrate 1250000",
                                             "set_line_property 8 0 0",
                                             "usb_read_timeout 250",
                                             "setflowctrl 0",
                                             "tcioflush"};
    EXPECT_EQ(lib.calls, opened);
    const uint8_t command[] = {'C', 'M', 'D'};
    lib.calls.clear();
    usb.purge();
    usb.write(command);
    EXPECT_EQ(lib.calls, (std::vector<std::string>{"tcioflush", "write_data CMD"}));
    lib.calls.clear();
    usb.ReconnectUSB();
    std::vector<std::string> reconnected = {"usb_reset", "usb_close"};
    reconnected.insert(reconnected.end(), opened.begin(), opened.end());
    EXPECT_EQ(lib.calls, reconnected);
    lib.calls.clear();
    usb.closeAtExit();
    usb.closeAtExit();
    EXPECT_EQ(lib.calls, std::vector<std::string>{"usb_close"});
}

// A name chooses the bridge whatever its description: by its place on the bus or by its USB serial
// number; a serial number no bridge carries (or none at all) opens nothing.
TEST(FtdiPort, ANameChoosesTheBridgeByPlaceOrSerialNumber) {
    const struct Row {
        const char* name;
        const char* opened;  // the bridge opened, or nothing
    } rows[] = {
        {"ftdi:1:6", "usb_open_dev 1:6"},
        {"serial:FT2", "usb_open_dev 1:6"},
        {"serial:FT1", "usb_open_dev 1:5"},
        {"serial:FT9", nullptr},
        {"serial:", nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        RecordingFtdi::Shared lib;
        lib.bridges = {{1, 4, "FT232R USB UART", 0, ""},
                       {1, 5, "VARNO 41700 USB", 1, "FT1"},
                       {1, 6, "VARNO 41700 USB", 2, "FT2"}};
        VirtualClock clock;
        FtdiPort port(row.name, std::make_unique<RecordingFtdi>(lib), clock);
        EXPECT_EQ(port.openEx(UsbPort::kDescription), row.opened != nullptr);
        ASSERT_GE(lib.calls.size(), 1u);
        EXPECT_EQ(lib.calls.size() > 1 ? lib.calls[1] : std::string(), row.opened ? row.opened : "");
    }
}

// No bridge with the description, or one that may not be opened: nothing but the search and the
// open attempt, and nothing afterwards reaches the library.
TEST(FtdiPort, AFailedOpenConfiguresNothing) {
    struct Row {
        const char* name;
        std::vector<FtdiLibrary::Bridge> bridges;
        int openStatus;
        bool denied;
        std::vector<std::string> calls;
        bool accessDenied;
    } rows[] = {
        {"none attached", {}, 0, false, {kFind}, false},
        {"another description", {{1, 4, "FT232R USB UART", 0, "AB0"}}, 0, false, {kFind}, false},
        {"may not be opened",
         {{2, 7, "VARNO 41700 USB", 0, "FT1"}},
         -8,
         true,
         {kFind, "usb_open_dev 2:7"},
         true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        RecordingFtdi::Shared lib;
        lib.bridges = row.bridges;
        lib.openStatus = row.openStatus;
        lib.denied = row.denied;
        VirtualClock clock;
        FtdiPort port({}, std::make_unique<RecordingFtdi>(lib), clock);
        EXPECT_FALSE(port.openEx(UsbPort::kDescription));
        EXPECT_EQ(port.accessDenied(), row.accessDenied);
        port.setBaudRate(1250000);
        port.purge();
        uint8_t byte = 0;
        EXPECT_EQ(port.read({&byte, 1}).status, ReadStatus::Error);
        port.close();
        EXPECT_EQ(lib.calls, row.calls);
    }
}

// A read gathers what the bridge hands over until the count is reached or 250 ms have passed
// since it started; an error that means the bridge is gone is a hang-up.
TEST(FtdiPort, ReadsGatherUntilTheCountOrTheTimeOut) {
    struct Row {
        const char* name;
        std::deque<int> reads;
        size_t want;
        size_t got;
        ReadStatus status;
        int64_t tookUs;  // at most
    } rows[] = {
        {"all at once", {5}, 5, 5, ReadStatus::Complete, 0},
        {"in pieces", {2, 0, 0, 3}, 5, 5, ReadStatus::Complete, 2 * FtdiPort::kPollGapUs},
        {"short: the time-out", {3}, 5, 3, ReadStatus::Timeout, 250000},
        {"silent: the time-out", {}, 1, 0, ReadStatus::Timeout, 250000},
        {"unplugged (libusb)", {1, -4}, 5, 1, ReadStatus::HangUp, 0},
        {"unplugged (libftdi)", {-666}, 5, 0, ReadStatus::HangUp, 0},
        {"another error", {-1}, 5, 0, ReadStatus::Error, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        RecordingFtdi::Shared lib;
        lib.bridges = {{1, 5, "VARNO 41700 USB", 0, "FT1"}};
        lib.reads = row.reads;
        VirtualClock clock;
        FtdiPort port({}, std::make_unique<RecordingFtdi>(lib), clock);
        ASSERT_TRUE(port.openEx(UsbPort::kDescription));
        port.setTimeouts(250, 0);
        std::vector<uint8_t> buffer(row.want);
        const int64_t start = clock.nowUs();
        const ReadResult r = port.read(buffer);
        EXPECT_EQ(r.count, row.got);
        EXPECT_EQ(r.status, row.status);
        EXPECT_LE(clock.nowUs() - start, row.tookUs);
        if (row.status == ReadStatus::Timeout) {
            EXPECT_EQ(clock.nowUs() - start, 250000);
        }
        EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(r.count)),
                  std::string(r.count, 'x'));
    }
}

}  // namespace
}  // namespace vrn
