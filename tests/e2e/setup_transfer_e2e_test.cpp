// Get Setup and Send Setup over the real serial backend against vrncomm-sim on a pty, in real
// time; each run prints its wall time against the time the protocol itself mandates.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "core/link/clock.h"
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

// The pauses and pacing the protocol mandates: the send routine paces once before a command and
// once after each of its bytes; queries pause before they read (CMD315 does not); each CMD325
// try pauses after its purge.
int64_t mandatedUs(const std::vector<std::string>& commands) {
    int64_t us = 0;
    for (const std::string& c : commands) {
        us += static_cast<int64_t>(c.size() + 1) * kPaceUs;
        const bool query = c.size() == 7 && c != "CMD315\r" && c != "CMD320\r";
        if (query) us += Exchange::kQueryPauseMs * 1000;
        if (c == "CMD325\r")
            us += setup::SetupTransfer::kRecordFormatPauseMs * 1000 - Exchange::kQueryPauseMs * 1000;
    }
    return us;
}

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
    ASSERT_FALSE(send.SendUserSettings());
    const int64_t sendUs = clock.nowUs() - start;

    setup::SetupModel got;
    got.setUsePcTime(false);
    setup::SetupTransfer get{ex, got};
    start = clock.nowUs();
    ASSERT_FALSE(get.GetUserSettings());
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

    report(
        "Send Setup", sendUs,
        mandatedUs({"CMD270 02 28 27\r", "CMD280 13 14 15\r", "CMD260 1\r", "CMD250 30\r", "CMD310 5\r",
                    "CMD330 1\r", "CMD332 4\r", "CMD334 6\r", "CMD220 -38\r", "CMD230 230\r", "CMD320\r"}));
    report("Get Setup", getUs,
           mandatedUs({"CMD275\r", "CMD285\r", "CMD225\r", "CMD235\r", "CMD245\r", "CMD265\r", "CMD255\r",
                       "CMD315\r", "CMD325\r", "CMD331\r", "CMD333\r", "CMD335\r"}));
}

}  // namespace
}  // namespace vrn
