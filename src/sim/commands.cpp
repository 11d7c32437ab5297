#include "sim/instrument.h"
#include "sim/service_commands.h"
#include "sim/setup_commands.h"

namespace vrn::sim {

void registerAllCommands(Instrument& instrument) {
    registerSetupCommands(instrument);
    registerServiceCommands(instrument);
}

}  // namespace vrn::sim
