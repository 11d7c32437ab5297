#pragma once

#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "core/link/trace.h"
#include "core/link/virtual_clock.h"
#include "memory_file_store.h"
#include "sim/instrument.h"
#include "sim/sim_port.h"

namespace vrn::cli::test {

// The command-line tool in process: swapped streams, virtual time, a simulated instrument that
// outlives each run so a test can look at what it received.
struct CliRig {
    VirtualClock clock;
    sim::Instrument instrument{clock};
    bool instrumentPresent = true;
    bool instrumentDenied = false;    // there, but this user may not open it
    std::vector<PortChoice> choices;  // what each run asked for
    std::vector<PortListing> listing;
    std::function<UsbDiagnosis()> diagnose;  // what the doctor finds
    vrn::test::MemoryFileStore files;
    std::ostringstream out;
    std::ostringstream err;

    CliRig() { sim::registerAllCommands(instrument); }

    int run(std::vector<std::string> args) {
        out.str({});
        err.str({});
        Environment env{out,
                        err,
                        false,
                        clock,
                        files,
                        [this](const PortChoice& c, Clock& clk) -> std::unique_ptr<Port> {
                            choices.push_back(c);
                            auto port = std::make_unique<sim::SimPort>(instrument, clk);
                            port->present = instrumentPresent;
                            port->denied = instrumentDenied;
                            return port;
                        },
                        [this] { return listing; },
                        [](const std::string&, std::string& error) -> std::unique_ptr<TraceSink> {
                            error = "traces are not kept in process";
                            return nullptr;
                        },
                        diagnose};
        return cli::run(args, env);
    }
};

}  // namespace vrn::cli::test
