// vrncomm-sim: the simulated 41700 on a pseudo-terminal, for end-to-end tests and manual trials.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <exception>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "ports/real_clock.h"
#include "ports/trace_file.h"
#include "sim/pty_link.h"
#include "sim/pty_server.h"
#include "sim/sim_options.h"
#include "sim/simulated_device.h"
#include "sim/state_dir.h"
#include "sim/station.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) {
    stopRequested = 1;
}

void onStopSignals() {
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // A reader of our stdout that went away must not end the simulator.
    std::signal(SIGPIPE, SIG_IGN);
}

int serveInstrument(int argc, char** argv) {
    vrn::sim::SimOptions options;
    std::string error;
    if (!vrn::sim::parseSimOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::fprintf(stderr, "vrncomm-sim: %s\n%s", error.c_str(), vrn::sim::kSimUsage);
        return 2;
    }
    if (options.help) {
        std::fputs(vrn::sim::kSimUsage, stdout);
        return 0;
    }
    onStopSignals();

    vrn::RealClock clock;
    vrn::sim::SimulatedDevice device(clock);
    device.instrument.faults = options.faults;
    vrn::sim::configureStation(device.instrument);
    vrn::sim::StateDir state(options.state);
    if (!options.state.empty() && !state.load(device.instrument, error)) {
        std::fprintf(stderr, "vrncomm-sim: --state %s: %s\n", options.state.c_str(), error.c_str());
        return 2;
    }
    std::unique_ptr<vrn::TraceFile> trace;
    if (!options.trace.empty()) {
        trace = vrn::TraceFile::open(options.trace, error);
        if (!trace) {
            std::fprintf(stderr, "vrncomm-sim: --trace %s: %s\n", options.trace.c_str(), error.c_str());
            return 2;
        }
    }
    vrn::sim::PtyServer server(device.instrument, clock);
    server.trace = trace.get();
    server.traceStartUs = clock.nowUs();
    if (!server.open(error)) {
        std::fprintf(stderr, "vrncomm-sim: cannot create the pseudo-terminal: %s\n", error.c_str());
        return 1;
    }
    vrn::sim::PtyLink link;
    if (!options.link.empty() && !link.make(options.link, server.slavePath(), error)) {
        std::fprintf(stderr, "vrncomm-sim: --link %s: %s\n", options.link.c_str(), error.c_str());
        return 2;
    }
    if (!options.state.empty()) {
        server.onQuiet = [&] {
            std::string why;
            if (!state.save(device.instrument, why)) std::fprintf(stderr, "vrncomm-sim: %s\n", why.c_str());
        };
    }
    std::printf("%s\n", server.slavePath().c_str());
    std::fflush(stdout);

    if (!server.serve(stopRequested, error)) {
        std::fprintf(stderr, "vrncomm-sim: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

// Whatever escapes (memory running out, say) ends the simulator with a message and a status,
// never with an abort; its link is removed on the way out.
int main(int argc, char** argv) {
    try {
        return serveInstrument(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fputs("vrncomm-sim: out of memory\n", stderr);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vrncomm-sim: internal error: %s\n", e.what());
    } catch (...) {
        std::fputs("vrncomm-sim: internal error\n", stderr);
    }
    return 1;
}
