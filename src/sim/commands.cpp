#include "sim/instrument.h"
#include "sim/program_commands.h"
#include "sim/records_commands.h"
#include "sim/screen_commands.h"
#include "sim/service_commands.h"
#include "sim/setup_commands.h"

namespace vrn::sim {

void registerAllCommands(Instrument& instrument) {
    registerSetupCommands(instrument);
    registerProgramCommands(instrument);
    registerRecordsCommands(instrument);
    registerScreenCommands(instrument);
    registerServiceCommands(instrument);
}

}  // namespace vrn::sim
