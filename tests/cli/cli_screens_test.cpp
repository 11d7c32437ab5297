#include <gtest/gtest.h>

#include "cli_rig.h"

namespace vrn::cli::test {
namespace {

using sim::Fault;

TEST(CliScreens, GetWritesTheInstrumentsScreensAndSendGivesThemBack) {
    CliRig rig;
    EXPECT_EQ(rig.run({"--simulate", "get-screens", "a.scr"}), kExitOk) << rig.err.str();
    EXPECT_EQ(rig.out.str(), "GET SCREENS...\nFINISHED GETTING SCREENS.\n");
    const auto& screens = rig.instrument.state.screens;
    EXPECT_EQ(rig.files.files.at("a.scr"), std::vector<uint8_t>(screens.begin(), screens.end()));

    std::vector<uint8_t> other(1920, 0xC4);
    rig.files.files["b.scr"] = other;
    EXPECT_EQ(rig.run({"--simulate", "send-screens", "b.scr"}), kExitOk) << rig.err.str();
    EXPECT_EQ(std::vector<uint8_t>(screens.begin(), screens.end()), other);
}

TEST(CliScreens, FailuresAndRefusals) {
    struct Row {
        const char* name;
        std::vector<std::string> args;
        std::optional<Fault> fault215, fault210;
        int exit;
        const char* errPart;
    };
    // clang-format off
    const std::vector<Row> rows = {
        {"short answers", {"--simulate", "get-screens", "g.scr"}, Fault::cutShort(1), {}, kExitFailed,
         "Cannot communicate with 41700"},
        {"no ready mark", {"--simulate", "send-screens", "ok.scr"}, {}, Fault::silent(), kExitFailed,
         "warning: No response from 41700"},
        {"short file", {"--simulate", "send-screens", "short.scr"}, {}, {}, kExitUsage, "1919 bytes"},
        {"missing file", {"--simulate", "render", "none.scr", "out"}, {}, {}, kExitUsage, "cannot read none.scr"},
        {"no file named", {"--simulate", "get-screens"}, {}, {}, kExitUsage, "get-screens: FILE.scr is missing"},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CliRig rig;
        rig.files.files["ok.scr"] = std::vector<uint8_t>(1920, ' ');
        rig.files.files["short.scr"] = std::vector<uint8_t>(1919, ' ');
        if (row.fault215) rig.instrument.faults.perCommand[215] = *row.fault215;
        if (row.fault210) rig.instrument.faults.perCommand[210] = *row.fault210;
        EXPECT_EQ(rig.run(row.args), row.exit);
        EXPECT_NE(rig.err.str().find(row.errPart), std::string::npos) << rig.err.str();
        EXPECT_EQ(rig.files.files.count("g.scr"), 0u);
        if (row.exit == kExitUsage) {
            EXPECT_TRUE(rig.instrument.commandLog.empty());
        }
    }
}

}  // namespace
}  // namespace vrn::cli::test
