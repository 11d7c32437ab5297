#include "cli/stop_signal.h"

#include <atomic>
#include <csignal>

namespace vrn::cli {
namespace {

std::atomic<int> gStopSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "set from a signal handler");

extern "C" void noteStopSignal(int signal) {
    gStopSignal.store(signal);
}

}  // namespace

void installStopSignals() {
    struct sigaction action = {};
    action.sa_handler = noteStopSignal;
    sigemptyset(&action.sa_mask);
    // A second signal ends the program at once, should the first meet no wait to end (a write to
    // a pipe nobody reads).
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int stopSignal() {
    return gStopSignal.load();
}

void setStopSignal(int signal) {
    gStopSignal.store(signal);
}

}  // namespace vrn::cli
