#include "core/link/exchange.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/link/decimal.h"
#include "core/link/timer1.h"
#include "core/link/timer1_off.h"
#include "core/link/usb_port.h"
#include "recording_host.h"
#include "sim/instrument.h"
#include "sim/sim_port.h"
#include "sim_link.h"

namespace vrn {
namespace {

using sim::Fault;

struct Rig : test::SimLink {
    Rig() { usb.OpenUsbPort(); }
    int64_t ms() { return host.clock_.nowMs(); }
};

TEST(Decimal, ReadsLikeTheReplies) {
    struct Row {
        const char* text;
        size_t pos;
        int32_t want;
    } rows[] = {
        {" 96", 0, 96},
        {"-115", 0, -115},
        {"  5", 0, 5},
        {"abc", 0, 0},
        {"07-14-26", 3, 14},
        {"07-14-26", 6, 26},
        {"", 0, 0},
        {"12", 9, 0},
        {"+7x", 0, 7},
        {"99999999999", 0, 2147483647},
        {"-99999999999", 0, -2147483647 - 1},
    };
    for (const Row& r : rows)
        EXPECT_EQ(readDecimal(r.text, r.pos), r.want) << r.text << " at " << r.pos;
}

TEST(Exchange, SendCommandPurgesThenPacesEveryByte) {
    Rig rig;
    const int purgesBefore = rig.driver.purges;
    const int64_t start = rig.host.clock_.nowUs();
    rig.ex.SendCommand("CMD255\r");
    EXPECT_EQ(rig.driver.purges, purgesBefore + 1);
    ASSERT_EQ(rig.driver.written.size(), 7u);
    std::string sent;
    for (size_t i = 0; i < rig.driver.written.size(); ++i) {
        sent.push_back(static_cast<char>(rig.driver.written[i].byte));
        EXPECT_EQ(rig.driver.written[i].atUs, start + static_cast<int64_t>(i + 1) * kPaceUs);
    }
    EXPECT_EQ(sent, "CMD255\r");
    EXPECT_EQ(rig.host.clock_.nowUs() - start, 8 * kPaceUs);
}

TEST(Exchange, QueryRetriesShortRepliesAndAcceptsTheTenth) {
    Rig rig;
    rig.instrument.faults.perCommand[255] = Fault::cutShort(1, 9);
    std::string reply;
    EXPECT_TRUE(rig.ex.query({"CMD255\r", 2, true, "CANNOT GET INTERVAL"}, reply).ok());
    EXPECT_EQ(reply, " 1");
    EXPECT_EQ(rig.instrument.commandCounts[255], 10);
    EXPECT_TRUE(rig.host.lines.empty());
}

TEST(Exchange, TenSilentQueriesTakeAboutThreeSecondsAndWriteTheLine) {
    Rig rig;
    rig.instrument.faults.perCommand[255] = Fault::silent();
    std::string reply;
    const int64_t start = rig.ms();
    const Outcome asked = rig.ex.query({"CMD255\r", 2, true, "CANNOT GET INTERVAL"}, reply);
    EXPECT_EQ(asked.kind(), Outcome::Kind::Failed);
    EXPECT_EQ(asked.reason(), "CANNOT GET INTERVAL");
    // Each try: 8 paced bytes, the 50 ms pause and the 250 ms read time-out.
    const int64_t perTryUs = 8 * kPaceUs + Exchange::kQueryPauseMs * 1000 + UsbPort::kReadTimeoutMs * 1000;
    EXPECT_EQ(rig.ms() - start, Exchange::kQueryTries * perTryUs / 1000);
    EXPECT_EQ(rig.host.lines, std::vector<std::string>{"CANNOT GET INTERVAL"});
}

TEST(Exchange, TenFailedSettingsTakeAboutTwentySecondsWithTenBeeps) {
    Rig rig;
    rig.instrument.faults.perCommand[250] = Fault::silent();
    const int64_t start = rig.ms();
    EXPECT_FALSE(rig.ex.setting(commandText("CMD250 %u", 5u)).ok());
    EXPECT_EQ(rig.host.beepTimesUs.size(), 10u);
    EXPECT_EQ(rig.instrument.commandCounts[250], 10);
    const int64_t took = rig.ms() - start;
    EXPECT_GE(took, 10 * 1500);
    EXPECT_LE(took, 10 * (2000 + 250 + 20));
    EXPECT_TRUE(rig.host.lines.empty());
}

TEST(Exchange, WaitForByteSkipsOtherBytesAndEndsWithinItsLimit) {
    Rig rig;
    rig.instrument.faults.perCommand[250] = Fault::strayFirst("!?CMD250");
    EXPECT_TRUE(rig.ex.setting(commandText("CMD250 %u", 7u)).ok());
    EXPECT_EQ(rig.instrument.state.setup.interval, 7);

    for (int seconds : {1, 2, 5}) {
        const int64_t start = rig.host.clock_.nowUs();
        const size_t beeps = rig.host.beepTimesUs.size();
        EXPECT_FALSE(rig.ex.WaitForByte('*', seconds).ok());
        const int64_t took = rig.host.clock_.nowUs() - start;
        EXPECT_GE(took, seconds * 1000000 - 500000) << seconds;
        EXPECT_LE(took, seconds * 1000000 + 250000) << seconds;
        EXPECT_EQ(rig.host.beepTimesUs.size(), beeps + 1);
    }
}

TEST(Exchange, AWaitGetsItsWholeLimitHoweverLongTheTimerWentUnpumped) {
    // Timer1 delivers no backlog: ten seconds without a pump give one stale tick, not twenty.
    for (const int64_t idleMs : {0, 600, 10000}) {
        Rig rig;
        rig.host.clock_.sleepMs(idleMs);
        const int64_t start = rig.ms();
        EXPECT_FALSE(rig.ex.WaitForByte('*', Exchange::kSettingWaitSeconds).ok());
        const int64_t took = rig.ms() - start;
        EXPECT_GE(took, 1500) << "after " << idleMs << " ms idle";
        EXPECT_LE(took, 2250) << "after " << idleMs << " ms idle";
    }
}

TEST(Exchange, AWaitWithTimer1OffEndsOnTheClock) {
    // Switched off, Timer1 never lowers its countdown: the Clock ends the wait at its limit, with
    // the beep of a timed-out wait, and the timer stays off.
    for (const int seconds : {1, 2, 5}) {
        Rig rig;
        const Timer1Off off(rig.host);
        const int64_t start = rig.ms();
        EXPECT_FALSE(rig.ex.WaitForByte('*', seconds).ok());
        const int64_t took = rig.ms() - start;
        EXPECT_GE(took, seconds * 1000) << seconds << " s";
        EXPECT_LE(took, seconds * 1000 + UsbPort::kReadTimeoutMs) << seconds << " s";
        EXPECT_EQ(rig.host.beepTimesUs.size(), 1u) << seconds << " s";
        EXPECT_FALSE(rig.host.timer_.enabled());
    }
}

TEST(Timer1Off, PutsTimer1BackAsItWasWithAFreshHalfSecond) {
    for (const bool wasOn : {true, false}) {
        Rig rig;
        rig.host.timer_.setEnabled(wasOn, rig.ms());
        int ticks = 0;
        rig.host.onTick = [&ticks] { ++ticks; };
        {
            const Timer1Off off(rig.host);
            EXPECT_FALSE(rig.host.timer_.enabled());
            rig.host.clock_.sleepMs(1200);
            EXPECT_EQ(rig.host.timer_.catchUp(rig.ms()), 0) << "no tick while off";
        }
        EXPECT_EQ(rig.host.timer_.enabled(), wasOn);
        const int64_t restoredMs = rig.ms();
        EXPECT_EQ(rig.host.timer_.catchUp(restoredMs + Timer1::kIntervalMs - 1), 0);
        EXPECT_EQ(rig.host.timer_.catchUp(restoredMs + Timer1::kIntervalMs), wasOn ? 1 : 0);
        EXPECT_EQ(ticks, wasOn ? 1 : 0);
    }
}

TEST(Exchange, WaitAbortedEndsTheWaitAtOnceWithoutABeep) {
    Rig rig;
    rig.host.onTick = [&] { rig.ex.abortWaits(); };
    const int64_t start = rig.ms();
    EXPECT_EQ(rig.ex.WaitForByte('*', 60).kind(), Outcome::Kind::Aborted);
    EXPECT_LE(rig.ms() - start, 750);
    EXPECT_TRUE(rig.host.beepTimesUs.empty());
}

TEST(Exchange, BytesLeftFromAnEarlierCommandArePurged) {
    Rig rig;
    rig.ex.SendCommand("CMD255\r");
    rig.host.clock_.sleepMs(5);  // the reply has arrived, nobody read it
    std::string reply;
    EXPECT_TRUE(rig.ex.query({"CMD315\r", 2, false, "CANNOT GET FIELDS PER RECORD"}, reply).ok());
    EXPECT_EQ(reply, " 1");
    rig.instrument.state.setup.fieldsPerRecord = 12;
    EXPECT_TRUE(rig.ex.query({"CMD315\r", 2, false, "x"}, reply).ok());
    EXPECT_EQ(reply, "12");
}

TEST(UsbPort, StartWithoutInstrumentWarnsOnceAndStaysClosed) {
    test::RecordingHost host;
    sim::Instrument instrument{host.clock_};
    sim::SimPort driver{instrument, host.clock_};
    driver.present = false;
    UsbPort usb{driver, host};
    usb.OpenUsbPort();
    EXPECT_FALSE(usb.isOpen());
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, "Cannot open VARNO 41700 USB port.");
    EXPECT_EQ(host.status, "USB port closed");

    // Reconnect with the port closed: no wait, the same warning again.
    const int64_t start = host.clock_.nowMs();
    usb.ReconnectUSB();
    EXPECT_EQ(host.clock_.nowMs(), start);
    EXPECT_EQ(host.boxes.size(), 2u);
    EXPECT_EQ(std::count(host.lines.begin(), host.lines.end(), UsbPort::kConnectedText), 0)
        << "a reconnection that failed says no CONNECTED";
    EXPECT_EQ(driver.resets, 0);
    usb.closeAtExit();
    EXPECT_EQ(driver.closes, 0);
}

TEST(UsbPort, OpenConfiguresAndReconnectWaitsTwoSecondsWithTheHourglass) {
    test::RecordingHost host;
    sim::Instrument instrument{host.clock_};
    sim::SimPort driver{instrument, host.clock_};
    UsbPort usb{driver, host};
    usb.OpenUsbPort();
    EXPECT_TRUE(usb.isOpen());
    EXPECT_EQ(host.status, "VARNO 41700 USB: Port Open");
    EXPECT_EQ(driver.baud(), 1250000u);
    EXPECT_EQ(driver.wordLength(), 8);
    EXPECT_EQ(driver.readTimeoutMs(), 250u);
    EXPECT_TRUE(host.boxes.empty());

    const int64_t start = host.clock_.nowMs();
    EXPECT_TRUE(host.lines.empty()) << "the first opening says nothing";
    usb.ReconnectUSB();
    EXPECT_EQ(host.lines, std::vector<std::string>{UsbPort::kConnectedText});
    EXPECT_EQ(host.clock_.nowMs() - start, UsbPort::kReopenWaitMs);
    EXPECT_EQ(driver.resets, 1);
    EXPECT_EQ(driver.closes, 1);
    EXPECT_EQ(host.waitCursorShown, 1);
    EXPECT_EQ(host.waitCursorDepth, 0);
    EXPECT_TRUE(usb.isOpen());
    usb.closeAtExit();
    usb.closeAtExit();
    EXPECT_EQ(driver.closes, 2);
}

}  // namespace
}  // namespace vrn
