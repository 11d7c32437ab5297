#pragma once

#include <string>
#include <vector>

namespace vrn::cli {

struct Session;

int runPlot(Session& s, const std::vector<std::string>& args);

}  // namespace vrn::cli
