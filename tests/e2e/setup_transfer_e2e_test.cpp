// Get Setup and Send Setup over the real serial backend against vrncomm-sim on a pty, in real
// time; each run prints its wall time against the time the protocol itself mandates.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "core/link/exchange.h"
#include "core/link/usb_port.h"
#include "core/setup/setup_model.h"
#include "core/setup/setup_transfer.h"
#include "ports/port_factory.h"
#include "ports/real_clock.h"
#include "recording_host.h"
#include "sim_process.h"

namespace vrn {
namespace {

using Lines = std::vector<std::string>;

void report(const char* what, int64_t wallUs, int64_t mandated) {
    std::printf("%s: %.1f ms wall, %.1f ms mandated by the protocol, ratio %.2f\n", what, wallUs / 1000.0,
                mandated / 1000.0, static_cast<double>(wallUs) / static_cast<double>(mandated));
    ::testing::Test::RecordProperty(std::string(what) + " wall us", std::to_string(wallUs));
    ::testing::Test::RecordProperty(std::string(what) + " mandated us", std::to_string(mandated));
}

TEST(SetupE2E, SendThenGetOverThePtyWithTheRealClock) {
    test::SimProcess sim;
    ASSERT_FALSE(sim.path().empty()) << sim.errorText();
    RealClock clock;
    test::RecordingHost host{clock};
    std::unique_ptr<Port> driver = makeHardwarePort(sim.path());
    UsbPort usb{*driver, host};
    usb.OpenUsbPort();
    ASSERT_TRUE(usb.isOpen()) << host.status;
    Exchange ex{usb, host};

    setup::SetupModel sent;
    sent.setUsePcTime(false);
    sent.setDate("02-28-2027");
    sent.setTime("13:14:15");
    sent.setCom1Type(1);
    sent.setCom1Baud(5);
    sent.setCom2Baud(7);
    sent.setKeyLock(true);
    sent.setInterval(30);
    sent.setFieldsPerRecord(5);
    sent.setAutoScroll(true);
    sent.setScrollPause(4);
    sent.setScrollEnd(6);
    sent.setLabel(0, "Temp \u00B0C");
    sent.setType(0, 0);
    sent.setWidth(0, 6);
    sent.setPrecision(0, 2);
    sent.setLabel(4, "ABCDEFGHIJKLMNOPQRSTUVWXY");
    sent.setType(4, 2);

    setup::SetupTransfer send{ex, sent};
    int64_t start = clock.nowUs();
    ASSERT_TRUE(send.SendUserSettings().ok());
    const int64_t sendUs = clock.nowUs() - start;

    setup::SetupModel got;
    got.setUsePcTime(false);
    setup::SetupTransfer get{ex, got};
    start = clock.nowUs();
    ASSERT_TRUE(get.GetUserSettings().ok());
    const int64_t getUs = clock.nowUs() - start;

    EXPECT_EQ(host.lines, (Lines{"SEND SETTINGS...", "FINISHED SENDING SETTINGS.", "GET SETUP...",
                                 "FINISHED GETTING SETUP."}));
    EXPECT_TRUE(host.beepTimesUs.empty());
    EXPECT_EQ(got.date(), "02-28-2027");
    EXPECT_EQ(got.com1Type(), 1);
    EXPECT_EQ(got.com1Baud(), 5);
    EXPECT_EQ(got.com2Baud(), 7);
    EXPECT_TRUE(got.keyLock());
    EXPECT_EQ(got.interval(), 30);
    EXPECT_EQ(got.fieldsPerRecord(), 5);
    EXPECT_TRUE(got.autoScroll());
    EXPECT_EQ(got.scrollPause(), 4);
    EXPECT_EQ(got.scrollEnd(), 6);
    for (int i = 0; i < setup::kFieldCount; ++i) {
        EXPECT_EQ(got.field(i).label, sent.field(i).label) << i;
        EXPECT_EQ(got.field(i).type, sent.field(i).type) << i;
        EXPECT_EQ(got.field(i).width, sent.field(i).width) << i;
        EXPECT_EQ(got.field(i).precision, sent.field(i).precision) << i;
    }

    report("Send Setup", sendUs, setup::mandatedSendUs(sent));
    report("Get Setup", getUs, setup::mandatedGetUs(false));
}

}  // namespace
}  // namespace vrn
