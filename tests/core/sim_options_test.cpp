#include "sim/sim_options.h"

#include <gtest/gtest.h>

#include <functional>

#include "core/link/virtual_clock.h"
#include "sim/instrument.h"

namespace vrn::sim {
namespace {

// What the instrument, set up from the options, answers to one command line.
std::string answerTo(const SimOptions& options, const std::string& command) {
    VirtualClock clock;
    Instrument instrument(clock);
    registerAllCommands(instrument);
    instrument.faults = options.faults;
    const std::string line = command + "\r";
    instrument.receive({reinterpret_cast<const uint8_t*>(line.data()), line.size()});
    clock.advanceUs(1000000);
    uint8_t out[256];
    const size_t n = instrument.take(out, clock.nowUs());
    return std::string(out, out + n);
}

TEST(SimOptions, FaultsChangeTheAnswers) {
    struct Row {
        const char* name;
        std::vector<std::string> args;
        const char* command;
        const char* answer;
    } rows[] = {
        {"no options", {}, "CMD255", " 1"},
        {"silent", {"--silent"}, "CMD255", ""},
        {"silent for another command", {"--silent-cmd", "315"}, "CMD255", " 1"},
        {"silent for this command", {"--silent-cmd", "255"}, "CMD255", ""},
        {"short by one", {"--short-cmd", "255:1"}, "CMD255", " "},
        {"short by more than the reply", {"--short-cmd", "255:9"}, "CMD255", ""},
        {"replaced", {"--reply-cmd", "255:99"}, "CMD255", "99"},
        {"replaced by text with a colon", {"--reply-cmd", "255:a:b"}, "CMD255", "a:b"},
        {"stray bytes first", {"--stray-cmd", "250:X"}, "CMD250 7", "X*"},
        {"dropped after one byte", {"--drop-after", "1"}, "CMD255", " "},
        {"link alone", {"--link", "/tmp/x"}, "CMD255", " 1"},
    };
    for (const Row& r : rows) {
        SimOptions options;
        std::string error;
        ASSERT_TRUE(parseSimOptions(r.args, options, error)) << r.name << ": " << error;
        EXPECT_EQ(answerTo(options, r.command), r.answer) << r.name;
    }
}

TEST(SimOptions, TimesLimitsTheFaultJustBeforeIt) {
    struct Row {
        const char* name;
        std::vector<std::string> args;
        std::vector<std::string> answers;  // to "CMD255", one after another
    } rows[] = {
        {"short twice", {"--short-cmd", "255:1", "--times", "2"}, {" ", " ", " 1"}},
        {"silent once", {"--silent", "--times", "1"}, {"", " 1", " 1"}},
        {"the later fault replaces",
         {"--silent-cmd", "255", "--reply-cmd", "255:7", "--times", "1"},
         {"7", " 1"}},
        {"another command limited",
         {"--silent-cmd", "255", "--short-cmd", "315:1", "--times", "1"},
         {"", ""}},
    };
    for (const Row& r : rows) {
        SimOptions options;
        std::string error;
        ASSERT_TRUE(parseSimOptions(r.args, options, error)) << r.name << ": " << error;
        VirtualClock clock;
        Instrument instrument(clock);
        registerAllCommands(instrument);
        instrument.faults = options.faults;
        for (size_t i = 0; i < r.answers.size(); ++i) {
            const std::string line = "CMD255\r";
            instrument.receive({reinterpret_cast<const uint8_t*>(line.data()), line.size()});
            clock.advanceUs(1000000);
            uint8_t out[16];
            EXPECT_EQ(std::string(out, out + instrument.take(out, clock.nowUs())), r.answers[i])
                << r.name << ", reply " << i;
        }
    }
}

TEST(SimOptions, BadArgumentsAreRefusedWithAReason) {
    struct Row {
        const char* name;
        std::vector<std::string> args;
        const char* reasonHas;
    } rows[] = {
        {"unknown option", {"--loud"}, "unknown option: --loud"},
        {"missing value", {"--silent-cmd"}, "needs a value"},
        {"command not a number", {"--silent-cmd", "abc"}, "abc"},
        {"command too large", {"--silent-cmd", "1000"}, "1000"},
        {"short without colon", {"--short-cmd", "255"}, "N:BYTES"},
        {"short by nothing", {"--short-cmd", "255:0"}, "N:BYTES"},
        {"short by text", {"--short-cmd", "255:x"}, "N:BYTES"},
        {"reply without command", {"--reply-cmd", ":99"}, "N:TEXT"},
        {"negative drop", {"--drop-after", "-1"}, "byte count"},
        {"empty link", {"--link", ""}, "path"},
        {"times without a fault", {"--times", "2"}, "after a fault option"},
        {"times not just after the fault",
         {"--silent", "--link", "/tmp/x", "--times", "2"},
         "after a fault option"},
        {"times of nothing", {"--silent", "--times", "0"}, "count above 0"},
        {"loader acks not a count", {"--loader-acks", "-3"}, "record count"},
    };
    for (const Row& r : rows) {
        SimOptions options;
        std::string error;
        EXPECT_FALSE(parseSimOptions(r.args, options, error)) << r.name;
        EXPECT_NE(error.find(r.reasonHas), std::string::npos) << r.name << ": " << error;
    }
}

TEST(SimOptions, EachWordIsTakenWhereItStands) {
    struct Row {
        const char* name;
        std::vector<std::string> args;
        const char* error;  // empty: accepted
        std::function<bool(const SimOptions&)> check;
    } rows[] = {
        {"a value that looks like an option",
         {"--loader-stray", "--x"},
         "",
         [](const SimOptions& o) { return o.faults.loaderStray == "--x"; }},
        {"a negative value",
         {"--speed", "-5"},
         "--speed needs a whole number from 1 to 1000000, not: -5",
         nullptr},
        {"an option given twice",
         {"--silent-cmd", "5", "--silent-cmd", "7"},
         "",
         [](const SimOptions& o) { return o.faults.perCommand.size() == 2; }},
        {"the first mistake is named",
         {"--speed", "0", "--loud"},
         "--speed needs a whole number from 1 to 1000000, not: 0",
         nullptr},
        {"an unknown word before a bad value", {"--loud", "--speed", "0"}, "unknown option: --loud", nullptr},
        {"an unknown word before a missing value", {"--loud", "--link"}, "unknown option: --loud", nullptr},
        {"a missing value", {"--state"}, "--state needs a value", nullptr},
        {"a flag given a value", {"--silent=1"}, "unknown option: --silent=1", nullptr},
        {"a lone --", {"--"}, "unknown option: --", nullptr},
        {"help between a fault and its --times",
         {"--silent", "-h", "--times", "2"},
         "",
         [](const SimOptions& o) { return o.help && o.faults.all->times == 2; }},
    };
    for (const Row& r : rows) {
        SimOptions options;
        std::string error;
        EXPECT_EQ(parseSimOptions(r.args, options, error), *r.error == '\0') << r.name;
        EXPECT_EQ(error, r.error) << r.name;
        EXPECT_TRUE(!r.check || r.check(options)) << r.name;
    }
}

// The manual page is made from --help: the names in one column, the explanations from the 26th.
TEST(SimOptions, UsageKeepsItsColumns) {
    const std::string usage = simUsage();
    EXPECT_TRUE(usage.starts_with("Usage: vrncomm-sim [options]\nServes a simulated 41700"));
    EXPECT_TRUE(usage.ends_with("\n  --help                 show this text\n"));
    for (const char* lines :
         {"\n  --link PATH            also make a symbolic link to the terminal at PATH (removed at exit);\n"
          "                         PATH must not exist, unless a simulator that is gone left it\n",
          "\n  --sends-oldest         a record download of N sends the oldest N records, not the newest\n",
          "\n  --silent-after-blocks N  a program transfer goes silent after N blocks\n"})
        EXPECT_NE(usage.find(lines), std::string::npos) << lines;
}

TEST(SimOptions, HelpAndLinkAreKept) {
    SimOptions options;
    std::string error;
    ASSERT_TRUE(parseSimOptions({"--link", "/tmp/sim-pty", "--help"}, options, error));
    EXPECT_TRUE(options.help);
    EXPECT_EQ(options.link, "/tmp/sim-pty");
}

}  // namespace
}  // namespace vrn::sim

namespace vrn::sim {
namespace {

TEST(SimOptions, RecordFaultsShapeTheDownloadAndTheErase) {
    struct Row {
        const char* name;
        std::vector<std::string> args;
        const char* command;
        size_t bytesInASecond;
        bool stray;
    } rows[] = {
        {"two records of one field", {}, "CMD340 2", 8, false},
        {"stopped after five bytes", {"--records-stop-after", "5"}, "CMD340 2", 5, false},
        {"stalled after four bytes for two seconds", {"--records-stall", "4:2000"}, "CMD340 2", 4, false},
        {"erase progress", {}, "CMD345", 256, false},
        {"erase with stray bytes", {"--erase-stray", "#"}, "CMD345", 256, true},
    };
    for (const Row& r : rows) {
        SimOptions options;
        std::string error;
        ASSERT_TRUE(parseSimOptions(r.args, options, error)) << r.name << ": " << error;
        const std::string answer = answerTo(options, r.command);
        EXPECT_EQ(answer.size(), r.bytesInASecond) << r.name;
        EXPECT_EQ(answer.find('#') != std::string::npos, r.stray) << r.name;
    }
    for (const std::vector<std::string>& bad :
         std::vector<std::vector<std::string>>{{"--records-stall", "4"},
                                               {"--records-stall", "4:-1"},
                                               {"--records-stall", "4:9476560217360156"},
                                               {"--records-stop-after", "x"},
                                               {"--erase-stray", ""}}) {
        SimOptions options;
        std::string error;
        EXPECT_FALSE(parseSimOptions(bad, options, error)) << bad[0] << " " << bad[1];
    }
}

}  // namespace
}  // namespace vrn::sim
