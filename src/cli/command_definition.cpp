#include "cli/command_definition.h"

#include <CLI/CLI.hpp>

namespace vrn::cli {

CLI::App& addCommand(CLI::App& app, const CommandText& text) {
    CLI::App& command = *app.add_subcommand(text.name, text.summary);
    command.footer(text.help);
    return command;
}

CLI::Option& positional(CLI::App& command, const char* name, std::string& value) {
    return *command.add_option(name, value)->required();
}

void runs(CLI::App& command, CommandRunner& chosen, int (*run)(Session&)) {
    command.callback([run, &chosen] { chosen = run; });
}

void runsWithWords(CLI::App& command, CommandRunner& chosen, std::initializer_list<const char*> names,
                   int (*run)(Session&, const Words&)) {
    auto words = std::make_shared<Words>(names.size());
    size_t k = 0;
    for (const char* name : names)
        positional(command, name, (*words)[k++]);
    command.callback([words, run, &chosen] { chosen = [words, run](Session& s) { return run(s, *words); }; });
}

void addSend(CLI::App& command, CommandRunner& chosen, const char* file,
             int (*run)(Session&, const SendArgs&)) {
    SendArgs& a = runs(command, chosen, run);
    positional(command, file, a.file);
    command.add_flag("--verify", a.verify);
}

}  // namespace vrn::cli
