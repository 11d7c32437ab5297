#pragma once

namespace vrn::sim {

class Instrument;

// Calibration steps, checks and data, and the hardware tests.
void registerServiceCommands(Instrument& instrument);

}  // namespace vrn::sim
