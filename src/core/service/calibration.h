#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/link/outcome.h"

namespace vrn {
class Exchange;
}

namespace vrn::service {

inline constexpr const char* kCalibrationPassword = "kvt41938";
inline constexpr const char* kIncorrectPasswordText = "Incorrect Password";
// Exact comparison: letter case counts and nothing is trimmed.
bool calibrationPasswordMatches(std::string_view typed);

inline constexpr int kCalWaitSeconds = 60;
// A check's readings may stream for longer than the silence limit, but not without end.
inline constexpr int kCalEchoLimitSeconds = 300;
inline constexpr int64_t kCalEndPauseMs = 100;
inline constexpr int64_t kCalDataPauseMs = 100;
inline constexpr int64_t kOutputSettleMs = 200;
inline constexpr int64_t kOutputCheckPauseMs = 500;

enum class CalStep : uint8_t {
    SeZero,
    SeFullScale,
    DiffZero,
    DiffFullScale,
    WdZero,
    WdFullScale,
    Vout,
    Iout
};

struct CalStepInfo {
    CalStep step;
    const char* cliName;
    const char* button;    // objectName of its button on the Calibration page
    const char* question;  // asked when confirmations are on; nullptr for the output steps
    const char* command;   // without its carriage return; the full-scale steps add the reference
    bool takesReference;
    const char* finishedLine;
    const char* noResponseLine;
};

std::span<const CalStepInfo> calSteps();
const CalStepInfo& calStepInfo(CalStep step);
// The line a step adds before its wait: "SE ZERO CAL FINISHED." gives "SE ZERO CAL...".
std::string startLineOf(const CalStepInfo& info);

// The reference box's text as sent: its longest leading decimal number (0 when there is none),
// held as a single-precision value and printed with six decimals, e.g. "0123.40" -> "123.400002".
std::string referenceArgument(std::string_view text);

// One calibration step: the question (when `confirm`), the command, the wait for "*" of up to 60 s
// that Stop Calibration (WaitAborted) ends early, and the step's finished or no-response line.
// Refused when the question was answered No; a failed wait has the no-response line as its reason.
Outcome runCalibrationStep(Exchange& ex, CalStep step, bool confirm, std::string_view referenceText);

enum class CalCheck : uint8_t { Se, Diff, Wd, VoutZero, VoutFs, IoutZero, IoutFs };

struct CalCheckInfo {
    CalCheck check;
    const char* cliName;
    const char* button;
    const char* noResponseLine;
};

std::span<const CalCheckInfo> calChecks();
const CalCheckInfo& calCheckInfo(CalCheck check);

// A check: the output checks drive the four outputs first; then the instrument's text is shown
// until "*". It ends after 60 s without a byte, or at Stop Calibration; without its "*" the
// check's no-response line is the reason.
Outcome runCalibrationCheck(Exchange& ex, CalCheck check);

inline constexpr const char* kCalDataHeader =
    "Ch\tSe0\tDiff0\tWd0\tSeMult\tDiffMult\tWdMult\tVMult\tVOffset\tIMult\tIOffset";

// The most of Get Cal Data's reply that is read: several times what 16 channels of it take.
inline constexpr size_t kCalDataMaxBytes = 8192;
// However its text trickles, Get Cal Data's reading ends within this bound: the whole reply takes
// a small part of it.
inline constexpr int64_t kCalDataLimitMs = 10000;

// Get Cal Data: the header and the instrument's text as it came, read on while it keeps coming
// (up to kCalDataMaxBytes). Failed (or PortGone) when nothing came; a reading cut by its bound or
// the abort shows what came and ends Failed or Aborted.
Outcome getCalData(Exchange& ex);

}  // namespace vrn::service
