#pragma once

#include <string>

#include "sim/sim_options.h"

namespace vrn::sim {

// What the options read so far made, in their order on the command line.
struct OptionsRead {
    SimOptions& options;
    // The fault the option just read set, if it set one: what a --times after it limits.
    Fault* lastFault = nullptr;
    // While an option is taken: the fault of the option just before it.
    Fault* before = nullptr;
};

// One option of vrncomm-sim: its name, the value it takes (none for a flag), its explanation in
// --help (further lines stand under the first), and what it does with the value: nothing when it
// takes it, otherwise why not, as the error line says it.
struct SimOption {
    const char* name;
    const char* value;
    const char* help;
    std::string (*take)(OptionsRead& read, const std::string& name, const std::string& value);
};

}  // namespace vrn::sim
