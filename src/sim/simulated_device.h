#pragma once

#include "sim/instrument.h"
#include "sim/sim_port.h"

namespace vrn::sim {

// An instrument with every command it knows, behind its Port: what --simulate plugs in.
struct SimulatedDevice {
    explicit SimulatedDevice(Clock& clock) : instrument(clock), port(instrument, clock) {
        registerAllCommands(instrument);
    }
    Instrument instrument;
    SimPort port;
};

}  // namespace vrn::sim
