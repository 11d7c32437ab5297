#pragma once

#include <string>
#include <vector>

namespace vrn::cli {

struct Session;

// Lists the serial ports and FTDI bridges seen, the instrument's marked with "*".
int runPorts(Session& session, const std::vector<std::string>& args);

}  // namespace vrn::cli
