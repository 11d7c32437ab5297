#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>

#include "cli_rig.h"

namespace vrn::cli::test {
namespace {

TEST(CliArgs, UsageErrorsExitTwoAndSayWhy) {
    struct Row {
        const char* name;
        std::vector<std::string> args;
        const char* says;
    } rows[] = {
        {"no command", {}, "no command given"},
        {"unknown command", {"fly"}, "unknown command fly"},
        {"unknown option", {"--fast", "ports"}, "unknown option --fast"},
        {"port without device", {"--port"}, "--port needs one DEVICE"},
        {"port and simulate", {"--simulate", "--port", "/dev/x", "ports"}, "--port needs one DEVICE"},
        {"simulate after port", {"--port", "/dev/x", "--simulate", "ports"}, "--simulate does not go"},
        {"ports with arguments", {"ports", "extra"}, "ports takes no arguments"},
    };
    for (const Row& r : rows) {
        CliRig rig;
        EXPECT_EQ(rig.run(r.args), kExitUsage) << r.name;
        EXPECT_NE(rig.err.str().find(r.says), std::string::npos) << r.name << ": " << rig.err.str();
    }
}

// Whatever escapes a command ends the tool with an error line and exit 1, never an abort.
TEST(CliArgs, WhatEscapesACommandIsAnErrorNotAnAbort) {
    struct Row {
        const char* name;
        std::function<void()> raise;
        const char* says;
    };
    const std::vector<Row> rows = {
        {"memory runs out", [] { throw std::bad_alloc(); }, "error: out of memory\n"},
        {"a library's exception", [] { throw std::length_error("vector"); },
         "error: internal error: vector\n"},
        {"something else", [] { throw 7; }, "error: internal error\n"},
    };
    for (const Row& row : rows) {
        CliRig rig;
        vrn::test::MemoryFileStore files;
        Environment env{rig.out,
                        rig.err,
                        false,
                        rig.clock,
                        files,
                        [&](const PortChoice&, Clock&) -> std::unique_ptr<Port> {
                            row.raise();
                            return nullptr;
                        },
                        {},
                        {},
                        {}};
        EXPECT_EQ(cli::run({"--simulate", "get-setup", "s.set"}, env), kExitFailed) << row.name;
        EXPECT_EQ(rig.err.str(), row.says) << row.name;
        EXPECT_TRUE(files.files.empty()) << row.name;
    }
}

TEST(CliArgs, HelpExplainsEveryCommandWithAnExample) {
    CliRig rig;
    EXPECT_EQ(rig.run({"--help"}), kExitOk);
    const std::string usage = rig.out.str();
    for (const char* name : {"ports", "get-setup", "send-setup"}) {
        EXPECT_NE(usage.find(name), std::string::npos) << name;
        CliRig each;
        EXPECT_EQ(each.run({name, "--help"}), kExitOk) << name;
        const std::string help = each.out.str();
        const size_t example = help.find("example");
        ASSERT_NE(example, std::string::npos) << name;
        const size_t call = help.find("  vrncomm-cli ", example);
        ASSERT_NE(call, std::string::npos) << name;
        EXPECT_NE(help.find(std::string(" ") + name, call), std::string::npos) << name;
    }
}

TEST(CliArgs, PortsMarksTheInstrument) {
    CliRig rig;
    rig.listing = {{"/dev/ttyS0", "", false, ""},
                   {"/dev/ttyUSB0", "VARNO 41700 USB", true, ""},
                   {"/dev/ttyUSB1", "VARNO 41700 USB", true, "FT2"}};
    EXPECT_EQ(rig.run({"ports"}), kExitOk);
    EXPECT_EQ(rig.out.str(),
              "  /dev/ttyS0\n* /dev/ttyUSB0  VARNO 41700 USB  (41700)\n"
              "* /dev/ttyUSB1  VARNO 41700 USB  (41700)  serial:FT2\n");
    rig.listing.clear();
    EXPECT_EQ(rig.run({"ports"}), kExitOk);
    EXPECT_EQ(rig.out.str(), "NO SERIAL PORTS OR FTDI BRIDGES FOUND.\n");
    // The listing is what the command exists for: --quiet keeps it.
    EXPECT_EQ(rig.run({"--quiet", "ports"}), kExitOk);
    EXPECT_EQ(rig.out.str(), "NO SERIAL PORTS OR FTDI BRIDGES FOUND.\n");
}

}  // namespace
}  // namespace vrn::cli::test
