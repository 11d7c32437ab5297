#include "core/records/record_erase.h"

#include <algorithm>

#include "core/link/clock.h"
#include "core/link/exchange.h"
#include "core/link/host.h"
#include "core/link/timer1.h"
#include "core/link/usb_port.h"

namespace vrn::records {

EraseOutcome RecordErase::EraseRecords1Click() {
    Host& h = ex_.host();
    if (!confirmOverwrite(h, kQuestion)) return EraseOutcome::Declined;
    ex_.SendCommand("CMD345\r");
    h.appendLine("ERASING ALL RECORDED DATA IN 41700...");
    h.clock().sleepMs(kStartPauseMs);
    h.setProgressMax(kProgressSteps);
    h.setProgress(0);
    Timer1& timer = h.timer();
    timer.setEnabled(true, h.clock().nowMs());
    const WaitCursor hourglass(h);
    timer.arm(kTimeoutTicks);
    int steps = 0;
    for (;;) {
        h.pump();
        if (timer.timedOut()) {
            h.appendLine("ERASE RECORDS FAILED. TIMEOUT ERROR. RECORDS MAY NOT BE ERASED.");
            h.setProgress(0);
            return EraseOutcome::TimedOut;
        }
        uint8_t byte = 0;
        if (ex_.port().read({&byte, 1}).count != 1) continue;
        if (byte == kDone) {
            h.appendLine("ALL RECORDS ERASED.");
            h.setProgress(0);
            return EraseOutcome::Erased;
        }
        if (byte == kStep) {
            // More steps than the bar is scaled for keep it full.
            steps = std::min(steps + 1, kProgressSteps);
            h.setProgress(steps);
            timer.arm(kTimeoutTicks);
        }
    }
}

}  // namespace vrn::records
