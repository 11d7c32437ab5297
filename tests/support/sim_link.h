#pragma once

#include "core/link/exchange.h"
#include "core/link/usb_port.h"
#include "recording_host.h"
#include "sim/instrument.h"
#include "sim/sim_port.h"

namespace vrn::test {

// The command exchange over the in-process simulated instrument, on virtual time. The port is
// left closed: a test opens it (usb.OpenUsbPort()) unless it is about the closed port.
struct SimLink {
    RecordingHost host;
    sim::Instrument instrument{host.clock_};
    sim::SimPort driver{instrument, host.clock_};
    UsbPort usb{driver, host};
    Exchange ex{usb, host};

    SimLink() { sim::registerAllCommands(instrument); }
};

}  // namespace vrn::test
