#pragma once

#include <cstdint>

#include "core/link/exchange.h"
#include "core/link/timer1.h"

namespace vrn::records {

// Commands, Special Commands, Erase Records: asks, sends CMD345 and follows the instrument's "!"
// progress bytes to its "*". Each "!" restarts the time limit, so an erase of any length
// succeeds while progress keeps coming.
class RecordErase {
public:
    static constexpr const char* kQuestion = "Erase ALL Recorded Data in 41700?";
    static constexpr int64_t kStartPauseMs = 500;
    static constexpr int kProgressSteps = 1024;
    // Half-second ticks of Timer1 without progress before the erase is given up (2 to 2.5 s).
    static constexpr int kTimeoutTicks = 5;
    // However much progress comes, an erase that never ends is given up after an hour: beyond its
    // 1,024 steps at the slowest pace the time limit lets through (2,560 s), so no real erase meets it.
    static constexpr int64_t kEraseLimitMs = 3600000;
    static constexpr const char* kTimeoutLine =
        "ERASE RECORDS FAILED. TIMEOUT ERROR. RECORDS MAY NOT BE ERASED.";
    static constexpr const char* kAbortedLine = "ERASE RECORDS STOPPED. RECORDS MAY NOT BE ERASED.";
    static constexpr uint8_t kStep = '!';
    static constexpr uint8_t kDone = '*';

    static constexpr WaitRule kEraseWait{.silenceMs = kTimeoutTicks * Timer1::kIntervalMs,
                                         .restart = WaitRule::Restart::OnProgress,
                                         .limitMs = kEraseLimitMs,
                                         .beeps = false};

    explicit RecordErase(Exchange& exchange) : ex_(exchange) {}

    // Refused when the user answered No (nothing was sent); Failed at the time limit or a stream
    // without the end, PortGone, or Aborted, each with the message-area line that said so.
    Outcome EraseRecords1Click();

private:
    Exchange& ex_;
};

}  // namespace vrn::records
