#pragma once

namespace vrn::sim {

class Instrument;

// CMD215 (the screens out) and CMD210 (the screens in, after "*").
void registerScreenCommands(Instrument& instrument);

}  // namespace vrn::sim
