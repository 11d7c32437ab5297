#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/link/usb_port.h"
#include "recording_host.h"
#include "sim_link.h"

namespace vrn {
namespace {

// An instrument that is absent gets the warning alone; one that is there but may not be opened
// gets the same warning and one line on how to gain access; granting access lets a reconnect in.
TEST(UsbPort, PermissionDeniedAddsOneLineAfterTheSameWarning) {
    struct Row {
        const char* name;
        bool present;
        bool denied;
        std::vector<std::string> lines;
    } rows[] = {
        {"absent", false, false, {}},
        {"absent, and no access either", false, true, {}},
        {"there but denied", true, true, {UsbPort::kAccessDeniedText}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        test::SimLink link;
        link.driver.present = row.present;
        link.driver.denied = row.denied;
        link.usb.OpenUsbPort();
        EXPECT_FALSE(link.usb.isOpen());
        ASSERT_EQ(link.host.boxes.size(), 1u);
        EXPECT_EQ(link.host.boxes[0].text, "Cannot open VARNO 41700 USB port.");
        EXPECT_EQ(link.host.boxes[0].kind, MsgKind::Warning);
        EXPECT_EQ(link.host.status, "USB port closed");
        EXPECT_EQ(link.host.lines, row.lines);

        link.driver.present = true;
        link.driver.denied = false;
        link.usb.ReconnectUSB();
        EXPECT_TRUE(link.usb.isOpen());
        EXPECT_EQ(link.host.boxes.size(), 1u);
        // The reconnection that worked says so.
        std::vector<std::string> reconnected = row.lines;
        reconnected.push_back(UsbPort::kConnectedText);
        EXPECT_EQ(link.host.lines, reconnected);
        EXPECT_EQ(link.host.status, "VARNO 41700 USB: Port Open");
    }
}

// A port that finds nothing and can tell why.
class ExplainingPort final : public Port {
public:
    std::vector<std::string> advice;
    bool denied = false;
    bool openEx(std::string_view) override { return false; }
    void setBaudRate(uint32_t) override {}
    void setDataCharacteristics(uint8_t, uint8_t, uint8_t) override {}
    void setTimeouts(uint32_t, uint32_t) override {}
    void setFlowControl(uint16_t, uint8_t, uint8_t) override {}
    void purge() override {}
    void write(std::span<const uint8_t>) override {}
    ReadResult read(std::span<uint8_t>) override { return {0, ReadStatus::Error}; }
    void close() override {}
    void resetDevice() override {}
    bool accessDenied() const override { return denied; }
    std::vector<std::string> openFailureAdvice() const override { return advice; }
};

// What the driver found out about a failed open follows the warning box in the message area, in
// place of the general line on access.
TEST(UsbPort, TheDriversFindingFollowsTheWarning) {
    const std::vector<std::string> finding = {
        "ACCESS: /dev/ttyUSB0 is root:dialout 0660 and tech is not in dialout",
        "MEND: sudo usermod -aG dialout \"$USER\", then log out and in again"};
    struct Row {
        const char* name;
        std::vector<std::string> advice;
        bool denied;
        std::vector<std::string> lines;
    } rows[] = {
        {"nothing known", {}, false, {}},
        {"denied, no finding", {}, true, {UsbPort::kAccessDeniedText}},
        {"a finding", finding, true, finding},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        test::RecordingHost host;
        ExplainingPort driver;
        driver.advice = row.advice;
        driver.denied = row.denied;
        UsbPort usb(driver, host);
        for (const bool reconnect : {false, true}) {
            host.lines.clear();
            reconnect ? usb.ReconnectUSB() : usb.OpenUsbPort();
            ASSERT_FALSE(host.boxes.empty());
            EXPECT_EQ(host.boxes.back().text, UsbPort::kCannotOpenText);
            EXPECT_EQ(host.lines, row.lines);
        }
    }
}

// The machine's device events: plugged in while closed opens as Reconnect does, with a line of
// its own; unplugged closes at once. Either leaves a port already in that state alone.
TEST(UsbPort, PluggedInOpensAndUnpluggedCloses) {
    test::SimLink link;
    link.driver.present = false;
    link.usb.instrumentAppeared();
    EXPECT_FALSE(link.usb.isOpen());
    ASSERT_EQ(link.host.boxes.size(), 1u) << "a bridge that cannot be opened gets the usual warning";
    EXPECT_EQ(link.host.lines, std::vector<std::string>{});

    link.driver.present = true;
    const int64_t before = link.host.clock().nowMs();
    link.usb.instrumentAppeared();
    EXPECT_TRUE(link.usb.isOpen());
    EXPECT_EQ(link.host.clock().nowMs(), before) << "no reopen wait: the port was closed";
    EXPECT_EQ(link.host.status, UsbPort::kOpenText);
    EXPECT_EQ(link.host.lines, std::vector<std::string>{"41700 CONNECTED"});
    EXPECT_EQ(link.driver.baud(), UsbPort::kBaudRate);
    link.usb.instrumentAppeared();
    EXPECT_EQ(link.driver.opens, 2);
    EXPECT_EQ(link.host.lines.size(), 1u);

    link.usb.instrumentGone();
    EXPECT_FALSE(link.usb.isOpen());
    EXPECT_EQ(link.host.status, UsbPort::kClosedText);
    EXPECT_EQ(link.driver.closes, 1);
    link.usb.instrumentGone();
    EXPECT_EQ(link.driver.closes, 1);
    EXPECT_EQ(link.host.boxes.size(), 1u);
}

}  // namespace
}  // namespace vrn
