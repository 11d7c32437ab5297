#pragma once

#include <CLI/CLI.hpp>
#include <string>

namespace vrn::cli {

// The help texts, made from the command line's definition. `--help` gives the usage, the
// description, the options, the exit statuses and the commands; `COMMAND --help` the command's
// usage and its explanation. `--help-all` adds every command's explanation, in the form help2man
// makes the manual page of: *Section* headings, a command's synopsis as a subsection ("SYNOPSIS:"
// over an indented line) and its examples as "$ " lines.
class HelpFormatter final : public CLI::Formatter {
public:
    std::string make_help(const CLI::App* app, std::string name, CLI::AppFormatMode mode) const override;
};

// "get-records COUNT|all FILE.txt [--delimiter space|comma|tab]": the command, its positionals
// and its options, from its definition.
std::string synopsisOf(const CLI::App& command);

// "Usage: vrncomm-cli [OPTIONS] SYNOPSIS", for the program (null) or a command.
std::string usageLine(const CLI::App& program, const CLI::App* command);

}  // namespace vrn::cli
