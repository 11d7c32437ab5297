#pragma once

#include <CLI/CLI.hpp>

#include "cli/command_definition.h"

namespace vrn::cli {

// status ARCHIVE [--station NAME] [--stale HOURS] [--prometheus FILE]: every station's health.
void addStatusCommand(CLI::App& app, CommandRunner& chosen);

}  // namespace vrn::cli
