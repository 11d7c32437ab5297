#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/faults.h"

namespace vrn::sim {

// The command line of vrncomm-sim: where to link the pty, and what to do wrong.
struct SimOptions {
    bool help = false;
    std::string link;   // a symlink to the pty's slave, made at start and removed at exit
    std::string state;  // a folder keeping what the instrument was sent between runs
    std::string trace;  // a file for every byte of the link, timed
    int64_t speed = 1;  // the instrument's clock runs this many times faster than the PC's
    bool sendsOldest = false;
    // A power cut's atUs counts from the start of the simulator.
    Faults faults;
};

// Parses the arguments (without the program name); false with the reason in error.
bool parseSimOptions(const std::vector<std::string>& args, SimOptions& options, std::string& error);

// The --help text, made from the options' definitions.
std::string simUsage();

}  // namespace vrn::sim
