#include "sim/instrument.h"
#include "sim/screen_commands.h"
#include "sim/setup_commands.h"

namespace vrn::sim {

void registerAllCommands(Instrument& instrument) {
    registerSetupCommands(instrument);
    registerScreenCommands(instrument);
}

}  // namespace vrn::sim
