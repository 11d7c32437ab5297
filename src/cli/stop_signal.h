#pragma once

namespace vrn::cli {

// SIGINT and SIGTERM end the running wait through the same abort as the window's Stop: their
// handler only notes the signal, and the exchange's waits see it through the host.
void installStopSignals();
// The signal that asked the run to stop, 0 when none did.
int stopSignal();
// Notes a stop as the handler does (tests), or forgets it (0).
void setStopSignal(int signal);

}  // namespace vrn::cli
