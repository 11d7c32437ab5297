#include "sim/instrument.h"
#include "sim/setup_commands.h"

namespace vrn::sim {

void registerAllCommands(Instrument& instrument) {
    registerSetupCommands(instrument);
}

}  // namespace vrn::sim
