#pragma once

namespace vrn::sim {

class Instrument;

// Calibration steps, checks and data, the hardware tests, and the firmware loader.
void registerServiceCommands(Instrument& instrument);

}  // namespace vrn::sim
