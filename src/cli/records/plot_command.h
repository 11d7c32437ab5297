#pragma once

#include <string>
#include <vector>

#include "cli/command_args.h"

namespace vrn::cli {

struct Session;

int runPlot(Session& s, const PlotArgs& args);

}  // namespace vrn::cli
