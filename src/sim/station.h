#pragma once

namespace vrn::sim {

class Instrument;

// Makes the instrument a plausible configured weather station, its clock running from the PC's
// local time: what `--simulate` and vrncomm-sim start with, so that a first Get shows something.
void configureStation(Instrument& instrument);

}  // namespace vrn::sim
