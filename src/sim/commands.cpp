#include "sim/instrument.h"
#include "sim/records_commands.h"
#include "sim/setup_commands.h"

namespace vrn::sim {

void registerAllCommands(Instrument& instrument) {
    registerSetupCommands(instrument);
    registerRecordsCommands(instrument);
}

}  // namespace vrn::sim
