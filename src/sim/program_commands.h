#pragma once

namespace vrn::sim {

class Instrument;

// The user program: CMD115 sends it as the block protocol's 66 blocks and end packet, CMD110
// receives and stores it.
void registerProgramCommands(Instrument& instrument);

}  // namespace vrn::sim
