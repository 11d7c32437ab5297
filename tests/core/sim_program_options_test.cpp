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
        {"chosen block K times",
         {"--corrupt-block", "0:9"},
         true,
         [](const Faults& f) { return f.corruptBlocks.at(0) == 9; }},
        {"counts, and a flag before another option",
         {"--corrupt-every", "9", "--send-blocks", "60", "--shuffle-slots", "--silent-cmd", "110"},
         true,
         [](const Faults& f) {
             return f.program.corruptEvery == 9 && f.program.blocksToSend == 60 && f.program.shuffleSlots &&
                    f.perCommand.count(110) == 1;
         }},
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
