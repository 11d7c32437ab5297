#pragma once

namespace vrn::cli {

struct Session;

// Lists the serial ports and FTDI bridges seen, the instrument's marked with "*".
int runPorts(Session& session);

}  // namespace vrn::cli
