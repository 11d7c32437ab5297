#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <initializer_list>
#include <memory>

#include "cli/command_args.h"

namespace vrn::cli {

struct Session;

// The command the command line chose, with its arguments bound.
using CommandRunner = std::function<int(Session&)>;

// A command's words: its name, the one-line summary the command list shows, and the whole
// explanation with an example that `COMMAND --help` and the manual page show.
struct CommandText {
    const char* name;
    const char* summary;
    const char* help;
};

// Declares a command; its positionals and options are then added to the command returned.
CLI::App& addCommand(CLI::App& app, const CommandText& text);

// A positional argument that must be given.
CLI::Option& positional(CLI::App& command, const char* name, std::string& value);

// The command runs `run` with the arguments the parse fills in; they live as long as the runner.
template <class Args>
Args& runs(CLI::App& command, CommandRunner& chosen, int (*run)(Session&, const Args&)) {
    auto args = std::make_shared<Args>();
    command.callback([args, run, &chosen] { chosen = [args, run](Session& s) { return run(s, *args); }; });
    return *args;
}

// A command without arguments.
void runs(CLI::App& command, CommandRunner& chosen, int (*run)(Session&));

// A command whose arguments are the positionals named, all needed, given to it in that order.
void runsWithWords(CLI::App& command, CommandRunner& chosen, std::initializer_list<const char*> names,
                   int (*run)(Session&, const Words&));

// A send of one file, read back and compared afterwards with --verify.
void addSend(CLI::App& command, CommandRunner& chosen, const char* file,
             int (*run)(Session&, const SendArgs&));

// The commands, each defined in the file that runs it. The command line adds them in the order
// the help lists them.
// machine/: ports, doctor
void addPortsCommand(CLI::App& app, CommandRunner& chosen);
void addDoctorCommand(CLI::App& app, CommandRunner& chosen);
// configuration/
void addSetupCommands(CLI::App& app, CommandRunner& chosen);    // get-setup, send-setup
void addProgramCommands(CLI::App& app, CommandRunner& chosen);  // get-program, send-program, listing
void addCheckCommand(CLI::App& app, CommandRunner& chosen);     // check
void addScreenCommands(CLI::App& app, CommandRunner& chosen);   // get-screens, send-screens, render
void addGroupCommands(CLI::App& app, CommandRunner& chosen);    // get-all, send-all
void addDiffCommands(CLI::App& app, CommandRunner& chosen);     // diff-setup, -screens, -program, -all
void addReportCommand(CLI::App& app, CommandRunner& chosen);    // report
// records/, with the record archive's commands (commands_records.cpp, archive/) among them:
// get-records, erase-records, collect, export, sync, plot, status
void addRecordCommands(CLI::App& app, CommandRunner& chosen);
void addRecordMemoryCommands(CLI::App& app, CommandRunner& chosen);  // get-records, erase-records
void addPlotCommand(CLI::App& app, CommandRunner& chosen);           // plot
// service/
void addCalibrationCommands(CLI::App& app, CommandRunner& chosen);  // cal-data, calibrate, cal-check
void addTestCommands(CLI::App& app, CommandRunner& chosen);         // test, pulldown, reset-all
void addFirmwareCommand(CLI::App& app, CommandRunner& chosen);      // firmware

}  // namespace vrn::cli
