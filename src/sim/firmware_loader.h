#pragma once

namespace vrn::sim {

class Instrument;

// The wake-up answer and the firmware loader that CMD980 starts: erase on "FLS", then one S-record
// per line, each acknowledged with "*" once its checksum is right, and a final text after S9.
void registerFirmwareLoader(Instrument& instrument);

}  // namespace vrn::sim
