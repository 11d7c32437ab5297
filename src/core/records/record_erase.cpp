#include "core/records/record_erase.h"

#include <algorithm>

#include "core/link/clock.h"
#include "core/link/exchange.h"
#include "core/link/host.h"
#include "core/link/timer1.h"

namespace vrn::records {

Outcome RecordErase::EraseRecords1Click() {
    Host& h = ex_.host();
    if (!confirmOverwrite(h, kQuestion)) return Outcome::refused();
    ex_.SendCommand("CMD345\r");
    h.appendLine("ERASING ALL RECORDED DATA IN 41700...");
    h.clock().sleepMs(kStartPauseMs);
    h.setProgressMax(kProgressSteps);
    h.setProgress(0);
    h.timer().setEnabled(true, h.clock().nowMs());
    const WaitCursor hourglass(h);
    int steps = 0;
    BufferReader reader(1, [&](std::span<const uint8_t> bytes) {
        if (bytes.empty()) return WaitStep::GoesOn;
        if (bytes[0] == kDone) return WaitStep::Over;
        if (bytes[0] != kStep) return WaitStep::GoesOn;
        // More steps than the bar is scaled for keep it full.
        steps = std::min(steps + 1, kProgressSteps);
        h.setProgress(steps);
        return WaitStep::Progress;
    });
    Outcome erased = ex_.wait(kEraseWait, reader);
    h.setProgress(0);
    if (erased.ok()) {
        h.appendLine("ALL RECORDS ERASED.");
        return erased;
    }
    const char* line = erased.kind() == Outcome::Kind::Aborted ? kAbortedLine : kTimeoutLine;
    h.appendLine(line);
    return erased.because(line);
}

}  // namespace vrn::records
