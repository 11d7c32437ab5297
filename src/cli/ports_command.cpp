#include "cli/ports_command.h"

#include <ostream>

#include "cli/session.h"

namespace vrn::cli {

int runPorts(Session& s) {
    const std::vector<PortListing> ports = s.env.listPorts ? s.env.listPorts() : std::vector<PortListing>{};
    if (ports.empty()) {
        s.host.result("NO SERIAL PORTS OR FTDI BRIDGES FOUND.");
        return kExitOk;
    }
    for (const PortListing& p : ports) {
        std::string line = p.isInstrument ? "* " : "  ";
        line += p.name;
        if (!p.description.empty()) line += "  " + p.description;
        if (p.isInstrument) line += "  (41700)";
        s.host.result(line);
    }
    return kExitOk;
}

}  // namespace vrn::cli
