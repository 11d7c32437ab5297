#include <gtest/gtest.h>

#include "cli_rig.h"
#include "core/link/usb_port.h"

namespace vrn::cli::test {
namespace {

// A port this user may not open is explained on stderr beside the warning, even with --quiet,
// and nothing is written; an absent instrument gets the warning alone.
TEST(CliPortAccess, DeniedPortIsExplainedOnStderr) {
    const std::string warning = "warning: Cannot open VARNO 41700 USB port.\n";
    const std::string advice = std::string(UsbPort::kAccessDeniedText).append("\n");
    // A failure always ends with an error line, --quiet or not: the line that said why.
    const std::string failed = "error: get-setup: Cannot open VARNO 41700 USB port.\n";
    struct Row {
        const char* name;
        bool present;
        bool denied;
        std::vector<std::string> args;
        std::string err;
    } rows[] = {
        {"denied", true, true, {"get-setup", "a.set"}, warning + advice + failed},
        {"denied, quiet", true, true, {"--quiet", "get-setup", "a.set"}, warning + advice + failed},
        {"absent", false, false, {"get-setup", "a.set"}, warning + failed},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CliRig rig;
        rig.instrumentPresent = row.present;
        rig.instrumentDenied = row.denied;
        EXPECT_EQ(rig.run(row.args), kExitFailed);
        EXPECT_EQ(rig.err.str(), row.err);
        EXPECT_EQ(rig.out.str(), "");
        EXPECT_FALSE(rig.files.files.contains("a.set"));
    }
}

}  // namespace
}  // namespace vrn::cli::test
