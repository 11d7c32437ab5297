#include <gtest/gtest.h>

#include "sim/sim_options.h"

namespace vrn::sim {
namespace {

TEST(SimProgramOptions, ParseIntoTheProgramFaults) {
    struct Row {
        const char* name;
        std::vector<std::string> args;
        bool ok;
        std::function<bool(const Faults&)> check;
    } rows[] = {
        {"chosen block once",
         {"--corrupt-block", "5"},
         true,
         [](const Faults& f) { return f.corruptBlocks.at(5) == 1; }},
        {"chosen block K times",
         {"--corrupt-block", "0:9"},
         true,
         [](const Faults& f) { return f.corruptBlocks.at(0) == 9; }},
        {"every block",
         {"--corrupt-every", "9"},
         true,
         [](const Faults& f) { return f.program.corruptEvery == 9; }},
        {"wrong end CRC",
         {"--wrong-end-crc", "3"},
         true,
         [](const Faults& f) { return f.program.wrongEndCrc == 3; }},
        {"fewer blocks",
         {"--send-blocks", "60"},
         true,
         [](const Faults& f) { return f.program.blocksToSend == 60; }},
        {"shuffled, then another option",
         {"--shuffle-slots", "--silent-cmd", "110"},
         true,
         [](const Faults& f) { return f.program.shuffleSlots && f.perCommand.count(110) == 1; }},
        {"stray answers",
         {"--stray-answers", "4"},
         true,
         [](const Faults& f) { return f.program.strayAnswers == 4; }},
        {"silent after blocks",
         {"--silent-after-blocks", "3"},
         true,
         [](const Faults& f) { return f.program.silentAfterBlocks == 3; }},
        {"missing value", {"--send-blocks"}, false, nullptr},
        {"negative count", {"--corrupt-every", "-1"}, false, nullptr},
        {"bad block times", {"--corrupt-block", "5:x"}, false, nullptr},
        {"--times does not limit a program option", {"--corrupt-every", "2", "--times", "1"}, false, nullptr},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        SimOptions options;
        std::string error;
        ASSERT_EQ(parseSimOptions(r.args, options, error), r.ok) << error;
        if (r.ok) {
            EXPECT_TRUE(r.check(options.faults));
        } else {
            EXPECT_FALSE(error.empty());
        }
    }
}

}  // namespace
}  // namespace vrn::sim
