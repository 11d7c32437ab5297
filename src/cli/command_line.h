#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "cli/command_definition.h"

namespace vrn::cli {

// The options every command takes, before or after the command's name.
struct GlobalOptions {
    std::optional<std::string> port;
    bool simulate = false;
    std::optional<std::string> trace;
    bool quiet = false;
    bool yes = false;
    bool json = false;
};

struct CommandLine {
    GlobalOptions options;
    CommandRunner run;
    std::string command;                 // the command's name; empty when none was named
    std::vector<std::string> arguments;  // the words of the command line that are the command's own
    std::string mistake;                 // what was wrong with the command line, as "error:" says it
};

// Parses a command line (without the program name) into line. Nothing when its command is to be
// run; otherwise the exit status after what was printed: the help or the version (0), or a
// mistake ("error: ..." and the usage on err, kExitUsage).
std::optional<int> parseCommandLine(const std::vector<std::string>& args, std::ostream& out,
                                    std::ostream& err, CommandLine& line);

}  // namespace vrn::cli
