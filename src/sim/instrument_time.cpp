#include "core/link/clock.h"
#include "sim/instrument.h"
#include "sim/record_memory.h"
#include "sim/setup_clock.h"

namespace vrn::sim {

void Instrument::keepTime() {
    const int64_t now = clock_.nowUs();
    if (faults.powerCut) {
        const PowerCut cut = *faults.powerCut;
        if (!state.poweredOff && now >= cut.atUs) {
            keepTimeUntil(cut.atUs);
            powerOff();
        }
        if (state.poweredOff && now - cut.atUs >= cut.forUs) {
            // The clock stood while the power was off: it goes on from where it stopped.
            state.poweredOff = false;
            state.setup.clockSetUs = cut.atUs + cut.forUs;
            faults.powerCut.reset();
        }
    }
    if (state.poweredOff) return;
    keepTimeUntil(now);
}

void Instrument::keepTimeUntil(int64_t nowUs) {
    SimSetup& s = state.setup;
    if (!s.clockRuns) return;
    keepClock(s, nowUs);
    if (const auto clockNow = clockSeconds(s)) logDue(state.records, *clockNow, s.fieldsPerRecord);
}

void Instrument::powerOff() {
    state.poweredOff = true;
    output_.clear();
    line_.clear();
    blockWanted_ = 0;
    block_.clear();
    onBlock_ = nullptr;
    lineFreeUs_ = 0;
}

}  // namespace vrn::sim
