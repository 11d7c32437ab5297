// vrncomm-sim: the simulated 41700 on a pseudo-terminal, for end-to-end tests and manual trials.
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <exception>
#include <memory>
#include <new>
#include <optional>
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
// Ends the serving of the present terminal: a stop, or the power failing.
volatile std::sig_atomic_t serveStop = 0;

void requestStop(int) {
    stopRequested = 1;
    serveStop = 1;
}

void cutPower(int) {
    serveStop = 1;
}

void onStopSignals() {
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    action.sa_handler = cutPower;
    sigaction(SIGALRM, &action, nullptr);
    // A reader of our stdout that went away must not end the simulator.
    std::signal(SIGPIPE, SIG_IGN);
}

// SIGALRM after delayUs (at least a microsecond, as zero would disarm the timer).
void alarmAfter(int64_t delayUs) {
    delayUs = std::max<int64_t>(delayUs, 1);
    struct itimerval timer {};
    timer.it_value.tv_sec = static_cast<time_t>(delayUs / 1000000);
    timer.it_value.tv_usec = static_cast<suseconds_t>(delayUs % 1000000);
    setitimer(ITIMER_REAL, &timer, nullptr);
}

// Waits until untilUs on the clock, or a stop.
void sleepUntil(vrn::Clock& clock, int64_t untilUs) {
    while (stopRequested == 0 && clock.nowUs() < untilUs)
        clock.sleepUntilUs(std::min(untilUs, clock.nowUs() + vrn::sim::PtyServer::kIdleWaitUs));
}

int serveInstrument(int argc, char** argv) {
    vrn::sim::SimOptions options;
    std::string error;
    if (!vrn::sim::parseSimOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::fprintf(stderr, "vrncomm-sim: %s\n%s", error.c_str(), vrn::sim::simUsage().c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(vrn::sim::simUsage().c_str(), stdout);
        return 0;
    }
    onStopSignals();

    vrn::RealClock clock;
    vrn::sim::SimulatedDevice device(clock);
    vrn::sim::Instrument& instrument = device.instrument;
    instrument.faults = options.faults;
    if (instrument.faults.powerCut) instrument.faults.powerCut->atUs += clock.nowUs();
    vrn::sim::configureStation(instrument);
    vrn::sim::StateDir state(options.state);
    if (!options.state.empty() && !state.load(instrument, error)) {
        std::fprintf(stderr, "vrncomm-sim: --state %s: %s\n", options.state.c_str(), error.c_str());
        return 2;
    }
    instrument.state.setup.clockSpeed = options.speed;
    instrument.state.records.sendsOldest = options.sendsOldest;
    std::unique_ptr<vrn::TraceFile> trace;
    if (!options.trace.empty()) {
        trace = vrn::TraceFile::open(options.trace, error);
        if (!trace) {
            std::fprintf(stderr, "vrncomm-sim: --trace %s: %s\n", options.trace.c_str(), error.c_str());
            return 2;
        }
    }
    const int64_t traceStartUs = clock.nowUs();
    std::optional<vrn::sim::PowerCut> cut = instrument.faults.powerCut;
    // One terminal for as long as the power stays on; a power cut takes it (and the link) away,
    // and the instrument comes back on a new one.
    for (;;) {
        vrn::sim::PtyServer server(instrument, clock);
        server.trace = trace.get();
        server.traceStartUs = traceStartUs;
        if (!server.open(error)) {
            std::fprintf(stderr, "vrncomm-sim: cannot create the pseudo-terminal: %s\n", error.c_str());
            return 1;
        }
        std::optional<vrn::sim::PtyLink> link;
        if (!options.link.empty() && !link.emplace().make(options.link, server.slavePath(), error)) {
            std::fprintf(stderr, "vrncomm-sim: --link %s: %s\n", options.link.c_str(), error.c_str());
            return 2;
        }
        if (!options.state.empty()) {
            server.onQuiet = [&] {
                std::string why;
                if (!state.save(instrument, why)) std::fprintf(stderr, "vrncomm-sim: %s\n", why.c_str());
            };
        }
        std::printf("%s\n", server.slavePath().c_str());
        std::fflush(stdout);

        if (cut) alarmAfter(cut->atUs - clock.nowUs());
        if (!server.serve(serveStop, error)) {
            std::fprintf(stderr, "vrncomm-sim: %s\n", error.c_str());
            return 1;
        }
        if (stopRequested != 0 || !cut) return 0;
        serveStop = 0;
        link.reset();
        sleepUntil(clock, cut->atUs + cut->forUs);
        if (stopRequested != 0) return 0;
        cut.reset();
    }
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
