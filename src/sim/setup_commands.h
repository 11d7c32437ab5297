#pragma once

namespace vrn::sim {

class Instrument;

// The Setup queries and settings, both record-format blocks included.
void registerSetupCommands(Instrument& instrument);

}  // namespace vrn::sim
