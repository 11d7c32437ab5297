#include "sim/instrument.h"
#include "sim/setup_commands.h"
#include "sim/firmware_loader.h"
#include "sim/service_commands.h"

namespace vrn::sim {

void registerAllCommands(Instrument& instrument) {
    registerSetupCommands(instrument);
    registerServiceCommands(instrument);
    registerFirmwareLoader(instrument);
}

}  // namespace vrn::sim
