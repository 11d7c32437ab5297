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

// The commands, by what they work on.
void addConfigurationCommands(CLI::App& app, CommandRunner& chosen);
void addRecordCommands(CLI::App& app, CommandRunner& chosen);
void addServiceCommands(CLI::App& app, CommandRunner& chosen);

}  // namespace vrn::cli
