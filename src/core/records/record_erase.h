#pragma once

#include <cstdint>

namespace vrn {
class Exchange;
}

namespace vrn::records {

enum class EraseOutcome : uint8_t {
    Declined,  // the user answered No: nothing was sent
    Erased,
    TimedOut,
};

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
    static constexpr uint8_t kStep = '!';
    static constexpr uint8_t kDone = '*';

    explicit RecordErase(Exchange& exchange) : ex_(exchange) {}

    EraseOutcome EraseRecords1Click();

private:
    Exchange& ex_;
};

}  // namespace vrn::records
