#pragma once

#include <CLI/CLI.hpp>

#include "cli/command_definition.h"

namespace vrn::cli {

// sync FROM TO: copies what the archive TO lacks of every station held in FROM.
void addSyncCommand(CLI::App& app, CommandRunner& chosen);

}  // namespace vrn::cli
