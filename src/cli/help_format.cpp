#include "cli/help_format.h"

#include <CLI/CLI.hpp>
#include <sstream>

namespace vrn::cli {
namespace {

constexpr size_t kOptionColumn = 18;

bool isCommand(const CLI::App& app) {
    return app.get_parent() != nullptr;
}

// A command's own name, or the name of the command a sub-choice belongs to ("test" for "test ram").
const CLI::App& topCommand(const CLI::App& app) {
    const CLI::App* c = &app;
    while (c->get_parent() != nullptr && c->get_parent()->get_parent() != nullptr)
        c = c->get_parent();
    return *c;
}

bool takesValue(const CLI::Option& opt) {
    return opt.get_type_size() != 0 && !opt.get_type_name().empty();
}

std::string optionNames(const CLI::Option& opt) {
    std::string names;
    for (const std::string& s : opt.get_snames())
        names += "-" + s + ", ";
    for (const std::string& l : opt.get_lnames())
        names += (names.empty() || names.ends_with(", ") ? "" : ", ") + ("--" + l);
    if (takesValue(opt)) names += " " + opt.get_type_name();
    return names;
}

// "--port DEVICE   talk to ..." with the description's further lines under its first.
void printOption(std::ostream& os, const CLI::Option& opt) {
    std::string names = "  " + optionNames(opt);
    std::istringstream description(opt.get_description());
    std::string line;
    bool first = true;
    while (std::getline(description, line)) {
        if (first)
            os << names << std::string(names.size() < kOptionColumn ? kOptionColumn - names.size() : 2, ' ');
        else
            os << std::string(kOptionColumn, ' ');
        os << line << '\n';
        first = false;
    }
}

std::string heading(const char* name, bool forManual) {
    return forManual ? std::string("*") + name + "*\n" : std::string(name) + ":\n";
}

// The explanation as help2man reads it: a line that introduces indented lines stands alone (or
// it would become a subsection), and an example's lines, joined where they were continued with
// "\", start with "$ " so that they keep their lines.
std::string forManual(const std::string& help) {
    std::vector<std::string> lines;
    std::istringstream in(help);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    std::string out;
    bool example = false;
    for (size_t k = 0; k < lines.size(); ++k) {
        std::string line = lines[k];
        const bool indented = line.starts_with(' ');
        if (!indented) example = line.starts_with("example") && line.ends_with(':');
        if (indented && example) {
            while (line.ends_with(" \\") && k + 1 < lines.size()) {
                ++k;
                line = line.substr(0, line.size() - 1) + lines[k].substr(lines[k].find_first_not_of(' '));
            }
            line = "  $ " + line.substr(line.find_first_not_of(' '));
        }
        out += line + '\n';
        if (!indented && line.ends_with(':') && k + 1 < lines.size() && lines[k + 1].starts_with(' '))
            out += '\n';
    }
    return out;
}

std::string commandHelp(const CLI::App& command) {
    const CLI::App& program = *command.get_parent();
    return usageLine(program, &command) + "\n\n" + command.get_footer();
}

std::string commandForManual(const CLI::App& command) {
    return synopsisOf(command) + ":\n  " + command.get_description() + "\n\n" +
           forManual(command.get_footer());
}

std::string programHelp(const CLI::App& program, bool all) {
    std::ostringstream os;
    os << usageLine(program, nullptr) << "\n\n" << program.get_description() << "\n\n";
    os << "Options:\n";
    for (const CLI::Option* opt : program.get_options())
        printOption(os, *opt);
    os << '\n' << heading("Exit status", all) << program.get_footer() << "\n\n";
    os << heading("Commands", all);
    for (const CLI::App* command : program.get_subcommands({})) {
        if (all)
            os << commandForManual(*command) << '\n';
        else
            os << "  " << synopsisOf(*command) << "\n      " << command->get_description() << '\n';
    }
    return os.str();
}

}  // namespace

std::string HelpFormatter::make_help(const CLI::App* app, std::string, CLI::AppFormatMode mode) const {
    if (!isCommand(*app)) return programHelp(*app, mode == CLI::AppFormatMode::All);
    return commandHelp(topCommand(*app));
}

std::string synopsisOf(const CLI::App& command) {
    std::string text = command.get_name();
    const std::vector<const CLI::App*> choices = command.get_subcommands({});
    for (size_t k = 0; k < choices.size(); ++k)
        text += (k == 0 ? " " : " | ") + synopsisOf(*choices[k]);
    for (const CLI::Option* opt : command.get_options()) {
        if (opt == command.get_help_ptr() || opt == command.get_help_all_ptr()) continue;
        if (opt->get_positional()) {
            const std::string& shown =
                opt->get_option_text().empty() ? opt->get_name() : opt->get_option_text();
            text += " " + (opt->get_required() ? shown : "[" + shown + "]");
        } else {
            text += opt->get_required() ? " " + optionNames(*opt) : " [" + optionNames(*opt) + "]";
        }
    }
    return text;
}

std::string usageLine(const CLI::App& program, const CLI::App* command) {
    return "Usage: " + program.get_name() + " [OPTIONS] " +
           (command ? synopsisOf(*command) : std::string("COMMAND [ARGS]"));
}

}  // namespace vrn::cli
