#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vrn::cli {

struct Session;

struct Command {
    const char* name;
    const char* synopsis;
    const char* summary;
    const char* help;  // the whole explanation, with an example
    int (*run)(Session& session, const std::vector<std::string>& args);
};

std::span<const Command> commands();
const Command* findCommand(std::string_view name);

}  // namespace vrn::cli
