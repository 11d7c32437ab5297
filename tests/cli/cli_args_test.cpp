#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <sstream>
#include <stdexcept>

#include "cli_rig.h"

namespace vrn::cli::test {
namespace {

// Every mistake: exit 2, "error: " and what was wrong, then the usage of what was mistaken.
TEST(CliArgs, UsageErrorsExitTwoAndSayWhy) {
    struct Row {
        const char* name;
        std::vector<std::string> args;
        const char* says;
        const char* usage;
    } rows[] = {
        {"no command", {}, "error: no command given\n", "Usage: vrncomm-cli [OPTIONS] COMMAND [ARGS]\n"},
        {"only options", {"--quiet", "--yes"}, "error: no command given\n", "COMMAND [ARGS]"},
        {"unknown command", {"fly"}, "error: unknown command fly\n", "COMMAND [ARGS]"},
        {"unknown option", {"--fast", "ports"}, "error: ports: unknown option --fast\n", "[OPTIONS] ports\n"},
        {"port without device", {"--port"}, "error: --port needs one DEVICE\n", "COMMAND [ARGS]"},
        {"port and simulate",
         {"--simulate", "--port", "/dev/x", "ports"},
         "error: --port does not go with --simulate\n",
         "COMMAND [ARGS]"},
        {"simulate after the command",
         {"--port", "/dev/x", "ports", "--simulate"},
         "error: --port does not go with --simulate\n",
         "COMMAND [ARGS]"},
        {"port twice",
         {"--port", "/dev/x", "ports", "--port", "/dev/y"},
         "error: --port is given more than once\n",
         "COMMAND [ARGS]"},
        {"trace without file", {"ports", "--trace"}, "error: --trace needs one FILE\n", "COMMAND [ARGS]"},
        {"ports with arguments",
         {"ports", "extra"},
         "error: ports: unexpected argument extra\n",
         "[OPTIONS] ports\n"},
        {"a file that looks like an option",
         {"get-setup", "-x.set"},
         "error: get-setup: unknown option -x.set\n",
         "get-setup FILE.set\n"},
        {"a value out of its list",
         {"get-records", "10", "r.txt", "--delimiter", "semicolon"},
         "error: get-records: --delimiter takes space, comma or tab, not: semicolon\n",
         "get-records COUNT|all FILE.txt [--delimiter space|comma|tab]\n"},
        {"a count out of range",
         {"get-records", "0", "r.txt"},
         "error: get-records: COUNT takes all or a whole number from 1 to 999999999, not: 0\n",
         "get-records COUNT|all"},
        {"an option that goes with another",
         {"plot", "r.txt", "r.png", "--from", "2026-01-01"},
         "error: plot: --from goes with --station\n",
         "plot FILE.txt|ARCHIVE OUT.png [--station NAME]"},
        {"a required option",
         {"export", "a.db", "out.txt"},
         "error: export: --station is missing\n",
         "export ARCHIVE --station NAME [--from T]"},
        {"no choice of test",
         {"test"},
         "error: test needs input, output, switch, ram, pgm, rom or display\n",
         "test input KIND CHAN | output CHAN LEVEL"},
        {"an unknown choice of test",
         {"test", "flash"},
         "error: test takes input, output, switch, ram, pgm, rom or display, not: flash\n",
         "test input KIND CHAN"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        CliRig rig;
        EXPECT_EQ(rig.run(r.args), kExitUsage);
        const std::string err = rig.err.str();
        EXPECT_TRUE(err.starts_with(r.says)) << err;
        const size_t usage = err.find("\nUsage: vrncomm-cli [OPTIONS] ");
        ASSERT_NE(usage, std::string::npos) << err;
        EXPECT_NE(err.find(r.usage, usage), std::string::npos) << err;
        EXPECT_EQ(rig.out.str(), "");
        EXPECT_TRUE(rig.choices.empty()) << "the port was opened";
    }
}

// The same mistake gets the same message in every command, only the command's name differs.
TEST(CliArgs, TheSameMistakeGetsTheSameMessageInEveryCommand) {
    struct Row {
        const char* mistake;
        std::vector<std::string> first;
        std::vector<std::string> second;
        const char* says;
    } rows[] = {
        {"an unknown option",
         {"ports", "--fast"},
         {"diff-all", "g.ssp", "--fast"},
         "error: CMD: unknown option --fast"},
        {"one argument too many",
         {"erase-records", "all"},
         {"get-setup", "a.set", "all"},
         "error: CMD: unexpected argument all"},
        {"a delimiter out of its list",
         {"get-records", "5", "r.txt", "--delimiter", "semi"},
         {"export", "a.db", "--station", "st", "o.txt", "--delimiter", "semi"},
         "error: CMD: --delimiter takes space, comma or tab, not: semi"},
        {"a station without its name",
         {"collect", "a.db", "--station"},
         {"plot", "a.db", "o.png", "--station"},
         "error: CMD: --station needs one NAME"},
        {"a time that is none",
         {"export", "a.db", "--station", "s", "--from", "May", "o.txt"},
         {"plot", "a.db", "o.png", "--station", "s", "--from", "May"},
         "a UTC time as YYYY-MM-DD, YYYY-MM-DD HH:MM or YYYY-MM-DD HH:MM:SS, not: May"},
        {"a channel out of range",
         {"pulldown", "5", "on"},
         {"test", "switch", "5", "on"},
         "error: CMD: CHAN takes a whole number from 1 to 4, not: 5"},
        {"on or off",
         {"pulldown", "1", "up"},
         {"test", "switch", "1", "up"},
         "error: CMD: STATE takes on or off, not: up"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.mistake);
        std::vector<std::string> messages;
        for (const std::vector<std::string>* args : {&r.first, &r.second}) {
            CliRig rig;
            EXPECT_EQ(rig.run(*args), kExitUsage);
            std::string line = rig.err.str().substr(0, rig.err.str().find('\n'));
            const std::string& command = args->front();
            if (const size_t at = line.find(command); at != std::string::npos)
                line.replace(at, command.size(), "CMD");
            messages.push_back(line);
        }
        EXPECT_EQ(messages[0], messages[1]);
        EXPECT_NE(messages[0].find(r.says), std::string::npos) << messages[0];
    }
}

// The program's options stand before or after the command, and between its arguments.
TEST(CliArgs, OptionsStandBeforeOrAfterTheCommand) {
    CliRig before;
    ASSERT_EQ(before.run({"--simulate", "--quiet", "get-setup", "before.set"}), kExitOk) << before.err.str();
    struct Row {
        const char* name;
        std::vector<std::string> args;
        const char* file;
    } rows[] = {
        {"--quiet after the file", {"--simulate", "get-setup", "x.set", "--quiet"}, "x.set"},
        {"--quiet between", {"--simulate", "get-setup", "-q", "x.set"}, "x.set"},
        {"all after the command", {"get-setup", "x.set", "--quiet", "--simulate"}, "x.set"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        CliRig rig;
        EXPECT_EQ(rig.run(r.args), kExitOk) << rig.err.str();
        EXPECT_EQ(rig.out.str(), before.out.str());
        ASSERT_EQ(rig.choices.size(), 1u);
        EXPECT_EQ(rig.choices[0].kind, PortChoice::Kind::Simulate);
        EXPECT_EQ(rig.files.files.count(r.file), 1u);
    }

    CliRig erase;
    ASSERT_EQ(erase.run({"--simulate", "erase-records", "--yes"}), kExitOk) << erase.err.str();
    EXPECT_EQ(erase.instrument.state.records.logged, 0u);
    EXPECT_EQ(erase.out.str(), "ERASING ALL RECORDED DATA IN 41700...\nALL RECORDS ERASED.\n");

    CliRig port;
    ASSERT_EQ(port.run({"get-setup", "x.set", "--port", "/dev/ttyUSB7"}), kExitOk) << port.err.str();
    ASSERT_EQ(port.choices.size(), 1u);
    EXPECT_EQ(port.choices[0].kind, PortChoice::Kind::Device);
    EXPECT_EQ(port.choices[0].device, "/dev/ttyUSB7");

    // "--" ends the options: a file whose name starts with a dash.
    CliRig dash;
    ASSERT_EQ(dash.run({"--simulate", "get-setup", "--", "-x.set"}), kExitOk) << dash.err.str();
    EXPECT_EQ(dash.files.files.count("-x.set"), 1u);
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

// Every command --help lists has its own help, with an example that runs it; asked for before
// or after the command, and for a choice of test, the help is the command's.
TEST(CliArgs, HelpExplainsEveryCommandWithAnExample) {
    CliRig rig;
    EXPECT_EQ(rig.run({"--help"}), kExitOk);
    const std::string usage = rig.out.str();
    EXPECT_TRUE(usage.starts_with("Usage: vrncomm-cli [OPTIONS] COMMAND [ARGS]\n")) << usage;
    for (const char* option :
         {"--port DEVICE", "--simulate", "--trace FILE", "-q, --quiet", "-y, --yes", "--version"})
        EXPECT_NE(usage.find(std::string("\n  ") + option), std::string::npos) << option;
    std::vector<std::string> names;
    std::istringstream lines(usage.substr(usage.find("\nCommands:\n")));
    for (std::string line; std::getline(lines, line);)
        if (line.starts_with("  ") && line[2] != ' ') names.push_back(line.substr(2, line.find(' ', 2) - 2));
    EXPECT_EQ(names.size(), 32u);
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        CliRig each;
        EXPECT_EQ(each.run({name, "--help"}), kExitOk);
        const std::string help = each.out.str();
        EXPECT_TRUE(help.starts_with("Usage: vrncomm-cli [OPTIONS] " + name)) << help;
        const size_t example = help.find("\nexample");
        ASSERT_NE(example, std::string::npos);
        const size_t call = help.find("vrncomm-cli ", example);
        ASSERT_NE(call, std::string::npos);
        EXPECT_NE(help.find(" " + name, call), std::string::npos);
        CliRig first;
        EXPECT_EQ(first.run({"--help", name}), kExitOk);
        EXPECT_EQ(first.out.str(), help);
    }
    CliRig choice;
    EXPECT_EQ(choice.run({"test", "input", "--help"}), kExitOk);
    EXPECT_TRUE(choice.out.str().starts_with("Usage: vrncomm-cli [OPTIONS] test input KIND CHAN | output"));
    CliRig version;
    EXPECT_EQ(version.run({"ports", "--version"}), kExitOk);
    EXPECT_EQ(version.out.str(), "vrncomm-cli " VRN_VERSION "\n");
}

// --help-all is what help2man makes the manual page of: every command a "SYNOPSIS:" line over its
// indented summary, its examples as "$ " lines, one line each even where the help continued one.
TEST(CliArgs, HelpAllHoldsEveryCommandInTheManualPagesForm) {
    CliRig rig;
    ASSERT_EQ(rig.run({"--help-all"}), kExitOk);
    const std::string all = rig.out.str();
    EXPECT_NE(all.find("\n*Exit status*\n  0  success; a diff found no difference\n"), std::string::npos);
    const size_t commands = all.find("\n*Commands*\n");
    ASSERT_NE(commands, std::string::npos);
    for (const char* heading :
         {"\nports:\n  list the serial ports", "\nget-setup FILE.set:\n  read the whole Setup",
          "\ntest input KIND CHAN | output CHAN LEVEL | switch CHAN on|off | ram | pgm | rom | "
          "display:\n  run one hardware test"})
        EXPECT_NE(all.find(heading, commands), std::string::npos) << heading;
    // An example's line, and the line that introduces it standing alone.
    EXPECT_NE(all.find("\nexample, a nightly backup of a station's Setup:\n\n  $ vrncomm-cli get-setup "),
              std::string::npos);
    EXPECT_NE(
        all.find("\n  $ vrncomm-cli --quiet collect /var/lib/vrncomm/archive.db --station st12 --count 144 "
                 "--utc-offset +01:00\n"),
        std::string::npos);
    EXPECT_EQ(all.find("\\\n"), std::string::npos) << "a continued line is left";
    // The test's table stays as it is, under its introduction.
    EXPECT_NE(all.find("would show:\n\n  input se|diff|wd|lowfreq|ttl CHAN   reads one input"),
              std::string::npos);
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
