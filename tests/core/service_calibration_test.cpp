#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/service/calibration.h"
#include "core/service/echo.h"
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
    std::string memo() const {
        std::string all;
        for (const auto& l : host.lines)
            all += l + "|";
        return all;
    }
    int64_t nowMs() { return host.clock_.nowMs(); }
};

TEST(CalibrationPassword, OnlyTheExactTextEnables) {
    struct Row {
        const char* name;
        const char* typed;
        bool accepted;
    };
    const Row rows[] = {
        {"exact", "kvt41938", true},           {"one letter upper", "kVt41938", false},
        {"all upper", "KVT41938", false},      {"trailing blank", "kvt41938 ", false},
        {"leading blank", " kvt41938", false}, {"empty", "", false},
        {"prefix", "kvt4193", false},
    };
    for (const Row& r : rows)
        EXPECT_EQ(calibrationPasswordMatches(r.typed), r.accepted) << r.name;
}

TEST(CalibrationReference, SingleValueWithSixDecimals) {
    struct Row {
        const char* text;
        const char* sent;
    };
    const Row rows[] = {
        {"5000.00", "5000.000000"}, {"0123.40", "123.400002"},  {"2500.55", "2500.550049"},
        {"abc", "0.000000"},        {"  12.5mV", "12.500000"},  {".5", "0.500000"},
        {"", "0.000000"},           {"9999.99", "9999.990234"}, {"1e3", "1.000000"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(referenceArgument(r.text), r.sent) << r.text;
}

TEST(CalibrationStep, QuestionsCommandsAndLines) {
    struct Row {
        const char* name;
        CalStep step;
        bool confirmOn;
        MsgResult answer;
        bool asks;
        const char* sent;  // empty when nothing may go out
        const char* line;  // the finished line, after the step's starting line
        const char* start;
    };
    const Row rows[] = {
        {"se zero, asked, yes", CalStep::SeZero, true, MsgResult::Yes, true, "CMD810\r",
         "SE ZERO CAL FINISHED.", "SE ZERO CAL..."},
        {"se zero, asked, no", CalStep::SeZero, true, MsgResult::No, true, "", nullptr, nullptr},
        {"se zero, not asked", CalStep::SeZero, false, MsgResult::Ok, false, "CMD810\r",
         "SE ZERO CAL FINISHED.", "SE ZERO CAL..."},
        {"se fs with reference", CalStep::SeFullScale, false, MsgResult::Ok, false, "CMD815 123.400002\r",
         "SE FULL SCALE CAL FINISHED.", "SE FULL SCALE CAL..."},
        {"diff fs, asked", CalStep::DiffFullScale, true, MsgResult::Yes, true, "CMD825 123.400002\r",
         "DIFF FULL SCALE CAL FINISHED.", "DIFF FULL SCALE CAL..."},
        {"wd exc", CalStep::WdFullScale, true, MsgResult::Yes, true, "CMD835\r",
         "WD FULL SCALE CAL FINISHED.", "WD FULL SCALE CAL..."},
        {"vout never asks", CalStep::Vout, true, MsgResult::Ok, false, "CMD840\r", "VOUT CAL FINISHED.",
         "VOUT CAL..."},
        {"iout never asks", CalStep::Iout, true, MsgResult::Ok, false, "CMD845\r", "IOUT CAL FINISHED.",
         "IOUT CAL..."},
    };
    for (const Row& r : rows) {
        Rig rig;
        if (r.asks) rig.host.setNextAnswer(r.answer);
        const Outcome outcome = runCalibrationStep(rig.ex, r.step, r.confirmOn, "0123.40");
        EXPECT_EQ(rig.host.boxes.size(), r.asks ? 1U : 0U) << r.name;
        if (r.asks) {
            EXPECT_EQ(rig.host.boxes[0].text, calStepInfo(r.step).question) << r.name;
        }
        EXPECT_EQ(rig.wire(), r.sent) << r.name;
        if (r.line == nullptr) {
            EXPECT_EQ(outcome.kind(), Outcome::Kind::Refused) << r.name;
            EXPECT_TRUE(rig.host.lines.empty()) << r.name;
        } else {
            EXPECT_TRUE(outcome.ok()) << r.name;
            EXPECT_EQ(rig.host.lines, (std::vector<std::string>{r.start, r.line})) << r.name;
            EXPECT_TRUE(rig.host.beepTimesUs.empty()) << r.name;
        }
        EXPECT_EQ(rig.host.waitCursorDepth, 0) << r.name;
    }
}

TEST(CalibrationStep, StopSilenceAndStrayBytes) {
    struct Row {
        const char* name;
        bool silent;
        int64_t stopAtMs;  // 0: nobody presses Stop
        bool finished;
        int beeps;
        int64_t minMs, maxMs;  // time from the send to the end of the step
    };
    const Row rows[] = {
        {"stop during the step", false, 1000, false, 0, 1000, 1700},
        {"silent instrument", true, 0, false, 1, 59500, 60500 + kCalEndPauseMs},
        {"answer after its work", false, 0, true, 0, 3000, 3500 + kCalEndPauseMs},
    };
    for (const Row& r : rows) {
        Rig rig;
        if (r.silent) rig.instrument.faults.perCommand[810] = Fault::silent();
        // Stray text before the "*" is skipped by the wait.
        else
            rig.instrument.faults.perCommand[810] = Fault::strayFirst("!x");
        const int64_t start = rig.nowMs();
        // What the message area showed while the step waited.
        std::vector<std::string> linesWhileWaiting;
        if (r.stopAtMs > 0)
            rig.host.onTick = [&] {
                if (rig.nowMs() - start < r.stopAtMs || rig.ex.WaitAborted()) return;
                linesWhileWaiting = rig.host.lines;
                rig.ex.abortWaits();
            };
        const Outcome outcome = runCalibrationStep(rig.ex, CalStep::SeZero, false, "");
        const int64_t took = rig.nowMs() - start;
        EXPECT_EQ(outcome.ok(), r.finished) << r.name;
        EXPECT_EQ(outcome.reason(), r.finished ? "" : "NO RESPONSE FROM 41700 FOR SE ZERO CAL.") << r.name;
        EXPECT_EQ(rig.host.lines.back(),
                  r.finished ? "SE ZERO CAL FINISHED." : "NO RESPONSE FROM 41700 FOR SE ZERO CAL.")
            << r.name;
        EXPECT_EQ(static_cast<int>(rig.host.beepTimesUs.size()), r.beeps) << r.name;
        if (r.stopAtMs > 0) {
            EXPECT_EQ(linesWhileWaiting, std::vector<std::string>{"SE ZERO CAL..."}) << r.name;
        }
        EXPECT_GE(took, r.minMs) << r.name;
        EXPECT_LE(took, r.maxMs) << r.name;
    }
}

TEST(CalibrationEcho, CarriageReturnsEndLinesAcrossReads) {
    struct Row {
        const char* name;
        std::vector<std::string> reads;
        std::vector<std::string> lines;
    };
    const Row rows[] = {
        {"whole lines", {"A\rB\r"}, {"before", "A", "B"}},
        {"a line cut by a read", {"A\rB", "C\r", "D"}, {"before", "A", "BC", "D"}},
        {"empty lines kept", {"\r\r"}, {"before", "", ""}},
        {"no line end at all", {"AB", "", "C"}, {"before", "ABC"}},
    };
    for (const Row& r : rows) {
        test::RecordingHost host;
        host.appendLine("before");
        EchoWriter echo(host);
        for (const std::string& read : r.reads)
            echo.write({reinterpret_cast<const uint8_t*>(read.data()), read.size()});
        EXPECT_EQ(host.lines, r.lines) << r.name;
    }
}

TEST(CalibrationCheck, EchoEndsAtStarOrAtItsBound) {
    struct Row {
        const char* name;
        CalCheck check;
        int command;
        Fault fault;
        const char* echoed;  // the message area's text, lines joined by "|"
        bool failed;
        int64_t minMs, maxMs;
    };
    const Row rows[] = {
        {"bytes after the star dropped", CalCheck::Se, 952, Fault::replace("SE 01 1.0\rSE 02 2.0\r*AFTER\r"),
         "SE 01 1.0|SE 02 2.0|", false, 0, 1000},
        {"nothing before the star", CalCheck::Diff, 956, Fault::replace("*"), "", false, 0, 1000},
        {"silent check ends at 60 s", CalCheck::Wd, 954, Fault::silent(),
         "NO RESPONSE FROM 41700 FOR WD CHECK.|", true, 59500, 60500},
        // A limit on silence: readings that keep coming keep the check going past 60 s.
        {"readings every 20 s for 100 s, then the star",
         CalCheck::Se,
         952,
         {},
         "R|R|R|R|R|",
         false,
         100000,
         101000},
        {"readings for 40 s, then 60 s of silence",
         CalCheck::Se,
         952,
         {},
         "R|R|R|NO RESPONSE FROM 41700 FOR SE CHECK.|",
         true,
         99500,
         101000},
    };
    for (const Row& r : rows) {
        Rig rig;
        rig.instrument.faults.perCommand[r.command] = r.fault;
        if (r.maxMs > 100000) {
            const bool star = !r.failed;
            rig.instrument.registerCommand(952, [star](sim::Instrument& i, const sim::CommandLine&) {
                for (int k = 0; k < (star ? 5 : 3); ++k)
                    i.reply("R\r", k * 20000000LL);
                if (star) i.reply("*", 100000000LL);
            });
        }
        const int64_t start = rig.nowMs();
        EXPECT_EQ(!runCalibrationCheck(rig.ex, r.check).ok(), r.failed) << r.name;
        EXPECT_EQ(rig.memo(), r.echoed) << r.name;
        EXPECT_EQ(rig.host.beepTimesUs.size(), r.failed ? 1U : 0U) << r.name;
        EXPECT_GE(rig.nowMs() - start, r.minMs) << r.name;
        EXPECT_LE(rig.nowMs() - start, r.maxMs) << r.name;
    }
}

TEST(CalibrationCheck, StopEndsACheck) {
    Rig rig;
    rig.instrument.faults.perCommand[952] = Fault::silent();
    const int64_t start = rig.nowMs();
    rig.host.onTick = [&] {
        if (rig.nowMs() - start >= 2000) rig.ex.abortWaits();
    };
    const Outcome checked = runCalibrationCheck(rig.ex, CalCheck::Se);
    EXPECT_EQ(checked.kind(), Outcome::Kind::Aborted);
    EXPECT_EQ(checked.reason(), "NO RESPONSE FROM 41700 FOR SE CHECK.");
    EXPECT_LT(rig.nowMs() - start, 3000);
    EXPECT_TRUE(rig.host.beepTimesUs.empty());
    EXPECT_EQ(rig.host.lines, std::vector<std::string>{"NO RESPONSE FROM 41700 FOR SE CHECK."});
}

TEST(CalibrationCheck, OutputChecksDriveEveryChannelFirst) {
    struct Row {
        CalCheck check;
        const char* drive;  // %d: the channel
    };
    const Row rows[] = {{CalCheck::VoutZero, "CMD945 %d 0\r"},
                        {CalCheck::VoutFs, "CMD945 %d 5000\r"},
                        {CalCheck::IoutZero, "CMD950 %d 0\r"},
                        {CalCheck::IoutFs, "CMD950 %d 20\r"}};
    for (const Row& r : rows) {
        Rig rig;
        std::string expected;
        for (int ch = 1; ch <= 4; ++ch) {
            char text[32];
            std::snprintf(text, sizeof text, r.drive, ch);
            expected += text;
        }
        expected += "CMD952 04\r";
        const int64_t start = rig.nowMs();
        EXPECT_TRUE(runCalibrationCheck(rig.ex, r.check).ok()) << expected;
        EXPECT_EQ(rig.wire(), expected);
        // 400 ms a channel and 500 ms before the read-back.
        const auto& readBack = rig.driver.written[rig.driver.written.size() - 10];
        EXPECT_GE(readBack.atUs / 1000 - start, 4 * 400 + 500) << expected;
        EXPECT_EQ(rig.host.lines.back(), " ");
        EXPECT_EQ(rig.host.lines.size(), 5U) << "four read-back lines and the blank";
        EXPECT_EQ(rig.host.waitCursorDepth, 0);
    }
}

TEST(CalibrationData, HeaderThenTheTextOrNothing) {
    struct Row {
        const char* name;
        Fault fault;
        std::vector<std::string> lines;
    };
    const Row rows[] = {
        {"rows shown as they came", Fault::replace("1\t2\r2\t3\r"), {kCalDataHeader, "1\t2", "2\t3"}},
        {"star not special", Fault::replace("*"), {kCalDataHeader, "*"}},
        {"silent", Fault::silent(), {}},
    };
    for (const Row& r : rows) {
        Rig rig;
        rig.instrument.faults.perCommand[805] = r.fault;
        EXPECT_EQ(getCalData(rig.ex).ok(), !r.lines.empty()) << r.name;
        EXPECT_EQ(rig.host.lines, r.lines) << r.name;
        EXPECT_EQ(rig.wire(), "CMD805\r") << r.name;
    }
}

// The reply is read on while it keeps coming, past the first read's thousand bytes, up to a bound.
TEST(CalibrationData, ReadOnWhileTheReplyKeepsComing) {
    struct Row {
        const char* name;
        std::string first;
        std::string later;  // sent 150 ms after the first part
        size_t shownBytes;  // the text that reached the message area, without line ends
    };
    const std::string row(62, '7');
    std::string sixteen;
    for (int k = 0; k < 16; ++k)
        sixteen += row + "\t0.004\r";
    const Row rows[] = {
        {"1,104 bytes at once", sixteen, "", 16 * (row.size() + 6)},
        {"a second part after a pause", "1\t0.1\r", "2\t0.004\r", 12},
        {"an endless reply ends at the bound", std::string(kCalDataMaxBytes + 500, '9'), "",
         kCalDataMaxBytes},
    };
    for (const Row& r : rows) {
        Rig rig;
        rig.instrument.registerCommand(805, [&r](sim::Instrument& i, const sim::CommandLine&) {
            i.reply(r.first);
            if (!r.later.empty()) i.reply(r.later, 150000);
        });
        EXPECT_TRUE(getCalData(rig.ex).ok()) << r.name;
        size_t shown = 0;
        for (size_t k = 1; k < rig.host.lines.size(); ++k)
            shown += rig.host.lines[k].size();
        EXPECT_EQ(shown, r.shownBytes) << r.name;
        if (!r.later.empty() || r.first == sixteen) {
            EXPECT_EQ(rig.host.lines.back().substr(rig.host.lines.back().size() - 5), "0.004") << r.name;
        }
    }
    // The simulated instrument's own reply fits the first read, its last value whole.
    Rig rig;
    ASSERT_TRUE(getCalData(rig.ex).ok());
    ASSERT_EQ(rig.host.lines.size(), 17u);
    EXPECT_TRUE(rig.host.lines.back().ends_with("\t0.004")) << rig.host.lines.back();
    size_t bytes = 0;
    for (size_t k = 1; k < rig.host.lines.size(); ++k)
        bytes += rig.host.lines[k].size() + 1;
    EXPECT_LT(bytes, 1000u);
}

}  // namespace
}  // namespace vrn::service
