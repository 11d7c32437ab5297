#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "core/service/diagnostics.h"
#include "sim_link.h"

namespace vrn::service {
namespace {

using sim::Fault;

struct Rig : test::SimLink {
    Rig() {
        usb.OpenUsbPort();
        driver.written.clear();
    }
    std::string wire() const {
        std::string s;
        for (const auto& w : driver.written)
            s.push_back(static_cast<char>(w.byte));
        return s;
    }
    int64_t nowMs() { return host.clock_.nowMs(); }
};

TEST(TestsInputKind, ChannelRangesAndSteps) {
    struct Row {
        const char* name;
        size_t kind;
        ChannelBox before;
        ChannelBox after;
    };
    const ChannelBox se12{12, 1, 16, 1};
    const Row rows[] = {
        {"SE", 0, {7, 1, 4, 1}, {1, 1, 16, 1}},
        {"DIFF odd channels", 1, se12, {1, 1, 15, 2}},
        {"WD", 2, se12, {1, 1, 4, 1}},
        {"low-level frequency", 3, se12, {1, 1, 4, 1}},
        {"Switch/TTL keeps the box", 4, se12, se12},
        {"Switch/TTL after DIFF", 4, {5, 1, 15, 2}, {5, 1, 15, 2}},
    };
    for (const Row& r : rows) {
        ChannelBox box = r.before;
        selectInputKind(r.kind, box);
        EXPECT_EQ(box.value, r.after.value) << r.name;
        EXPECT_EQ(box.maximum, r.after.maximum) << r.name;
        EXPECT_EQ(box.step, r.after.step) << r.name;
        EXPECT_EQ(box.minimum, 1) << r.name;
    }
}

TEST(TestsInput, CommandsPausesAndResults) {
    struct Row {
        const char* name;
        size_t kind;
        int channel;
        Fault fault;
        const char* sent;
        const char* result;
        int64_t pauseMs;
        bool hourglass;
    };
    const Row rows[] = {
        {"SE channel 3", 0, 3, Fault{}, "CMD922 03\r", "37.750", kVoltagePauseMs, true},
        {"DIFF channel 15", 1, 15, Fault{}, "CMD926 15\r", "587.750", kVoltagePauseMs, true},
        {"WD channel 4", 2, 4, Fault{}, "CMD924 04\r", "250.250", kVoltagePauseMs, true},
        {"low-level frequency", 3, 2, Fault{}, "CMD935 02\r", "Count: 114", kShortPauseMs, false},
        {"Switch/TTL channel 12", 4, 12, Fault{}, "CMD940 12\r", "Count: 1084", kShortPauseMs, false},
        {"one byte, voltage", 0, 1, Fault::replace("7"), "CMD922 01\r", "", kVoltagePauseMs, true},
        {"one byte, frequency", 3, 1, Fault::replace("7"), "CMD935 01\r", "Count: ", kShortPauseMs, false},
        {"nothing", 0, 1, Fault::silent(), "CMD922 01\r", "No Response", kVoltagePauseMs, true},
        {"long reply cut to 24", 3, 1, Fault::replace(std::string(30, '9')), "CMD935 01\r",
         "Count: 999999999999999999999999", kShortPauseMs, false},
    };
    for (const Row& r : rows) {
        Rig rig;
        const int command = std::stoi(std::string(r.sent + 3, 3));
        if (r.fault.kind != Fault::Kind::None) rig.instrument.faults.perCommand[command] = r.fault;
        const int64_t start = rig.nowMs();
        const Result<std::string> shown = testInput(rig.ex, r.kind, r.channel);
        ASSERT_TRUE(shown.hasValue()) << r.name;
        EXPECT_EQ(shown.value(), r.result) << r.name;
        EXPECT_EQ(shown.ok(), std::string(r.result) != kNoResponse) << r.name;
        EXPECT_EQ(rig.wire(), r.sent) << r.name;
        EXPECT_GE(rig.nowMs() - start, r.pauseMs) << r.name;
        EXPECT_EQ(rig.host.waitCursorShown, r.hourglass ? 1 : 0) << r.name;
        EXPECT_EQ(rig.host.waitCursorDepth, 0) << r.name;
    }
}

TEST(TestsOther, RamSignaturesAndDisplay) {
    using Test = std::function<Result<std::string>(Exchange&)>;
    struct Row {
        const char* name;
        Test test;
        int command;
        Fault fault;
        const char* result;
        int64_t pauseMs;
    };
    const Row rows[] = {
        {"RAM passes", testRam, 910, Fault{}, "RAM OK", kShortPauseMs},
        {"RAM one byte 0", testRam, 910, Fault::replace("0"), "RAM OK", kShortPauseMs},
        {"RAM fails on 1", testRam, 910, Fault::replace("1\r"), "RAM ERROR", kShortPauseMs},
        {"RAM leading blank", testRam, 910, Fault::replace(" 0\r"), "RAM ERROR", kShortPauseMs},
        {"RAM silent", testRam, 910, Fault::silent(), "No Response", kShortPauseMs},
        {"program signature", testPgm, 905, Fault{}, "PGM Signature: 0x7A3C", kShortPauseMs},
        {"program silent", testPgm, 905, Fault::silent(), "No Response", kShortPauseMs},
        {"ROM signature", testRom, 900, Fault{}, "ROM Signature: 0xC0DE", kRomPauseMs},
        {"ROM late past its pause", testRom, 900, Fault::late(1000000), "No Response", kRomPauseMs},
    };
    for (const Row& r : rows) {
        Rig rig;
        if (r.fault.kind != Fault::Kind::None) rig.instrument.faults.perCommand[r.command] = r.fault;
        const int64_t start = rig.nowMs();
        const Result<std::string> shown = r.test(rig.ex);
        ASSERT_TRUE(shown.hasValue()) << r.name;
        EXPECT_EQ(shown.value(), r.result) << r.name;
        EXPECT_EQ(shown.ok(), std::string(r.result) != kNoResponse) << r.name;
        EXPECT_EQ(rig.wire(), "CMD" + std::to_string(r.command) + "\r") << r.name;
        EXPECT_GE(rig.nowMs() - start, r.pauseMs) << r.name;
    }
}

TEST(TestsOutputs, LevelsResetAndPullDowns) {
    struct Row {
        const char* name;
        bool portOpen;
        std::function<void(Exchange&)> act;
        const char* sent;
        int64_t minMs;
    };
    const Row rows[] = {
        {"2500 mV on channel 3", true, [](Exchange& ex) { EXPECT_TRUE(testOutput(ex, 3, 2).ok()); },
         "CMD945 3 2500\r", kOutputPauseMs},
        {"12 mA on channel 2", true, [](Exchange& ex) { EXPECT_TRUE(testOutput(ex, 2, 6).ok()); },
         "CMD950 2 12\r", kOutputPauseMs},
        {"reset all", true, resetAllOutputs, "CMD945 1 0\rCMD945 2 0\rCMD945 3 0\rCMD945 4 0\r", 1200},
        {"reset all, port closed", false, resetAllOutputs, "", 1200},
        {"pull-down 4 on and off", true,
         [](Exchange& ex) {
             setPullDown(ex, 4, true);
             setPullDown(ex, 4, false);
         },
         "CMD850 4\rCMD850 -4\r", 0},
        {"switch 2 off", true, [](Exchange& ex) { EXPECT_TRUE(testSwitch(ex, 2, false).ok()); },
         "CMD920 2 0\r", 0},
        {"display", true, [](Exchange& ex) { EXPECT_TRUE(testDisplay(ex).ok()); }, "CMD915\r",
         kDisplayPauseMs},
    };
    for (const Row& r : rows) {
        Rig rig;
        if (!r.portOpen) rig.usb.closeAtExit();
        const int64_t start = rig.nowMs();
        r.act(rig.ex);
        EXPECT_EQ(rig.wire(), r.sent) << r.name;
        EXPECT_GE(rig.nowMs() - start, r.minMs) << r.name;
        EXPECT_TRUE(rig.host.boxes.empty()) << r.name;
    }
    Rig rig;
    resetAllOutputs(rig.ex);
    EXPECT_EQ(rig.instrument.state.service.outputMillivolts, (std::array<int, 4>{0, 0, 0, 0}));
    setPullDown(rig.ex, 4, true);
    EXPECT_EQ(rig.instrument.state.service.pullDowns, (std::array<bool, 4>{false, false, false, true}));
}

TEST(TestsPortClosed, EachTestRefusesWithItsText) {
    struct Row {
        std::function<Outcome(Exchange&)> run;
        const char* text;
    };
    const Row rows[] = {
        {[](Exchange& ex) { return testInput(ex, 0, 1); }, kInputClosedText},
        {[](Exchange& ex) { return testOutput(ex, 1, 0); }, kOutputClosedText},
        {[](Exchange& ex) { return testRam(ex); }, kRamClosedText},
        {[](Exchange& ex) { return testPgm(ex); }, kPgmClosedText},
        {[](Exchange& ex) { return testRom(ex); }, kRomClosedText},
        {[](Exchange& ex) { return testDisplay(ex); }, kDisplayClosedText},
        {[](Exchange& ex) { return testSwitch(ex, 1, true); }, kSwitchClosedText},
    };
    for (const Row& r : rows) {
        Rig rig;
        rig.usb.closeAtExit();
        const int64_t start = rig.nowMs();
        const Outcome outcome = r.run(rig.ex);
        // Refused, its box the reason: the test ran nothing.
        EXPECT_EQ(outcome.kind(), Outcome::Kind::Refused) << r.text;
        EXPECT_EQ(outcome.reason(), r.text);
        ASSERT_EQ(rig.host.boxes.size(), 1U) << r.text;
        EXPECT_EQ(rig.host.boxes[0].text, r.text);
        EXPECT_EQ(rig.nowMs(), start) << r.text;
        EXPECT_EQ(rig.instrument.commandLog.size(), 0U) << r.text;
    }
}

}  // namespace
}  // namespace vrn::service
