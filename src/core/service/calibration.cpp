#include "core/service/calibration.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <charconv>
#include <cstdio>
#include <utility>
#include <vector>

#include "core/link/clock.h"
#include "core/link/exchange.h"
#include "core/link/host.h"
#include "core/link/usb_port.h"
#include "core/service/diagnostics.h"
#include "core/service/echo.h"

namespace vrn::service {
namespace {

constexpr std::array kSteps{
    CalStepInfo{CalStep::SeZero, "se-zero", "ButtonSetSEZero", "Replace all SE Zero calibration settings?",
                "CMD810", false, "SE ZERO CAL FINISHED.", "NO RESPONSE FROM 41700 FOR SE ZERO CAL."},
    CalStepInfo{CalStep::SeFullScale, "se-fs", "ButtonSetSEFullScale",
                "Replace all SE Full Scale calibration settings?", "CMD815", true,
                "SE FULL SCALE CAL FINISHED.", "NO RESPONSE FROM 41700 FOR SE FULL SCALE CAL."},
    CalStepInfo{CalStep::DiffZero, "diff-zero", "ButtonSetDIFFZero",
                "Replace all DIFF Zero calibration settings?", "CMD820", false, "DIFF ZERO CAL FINISHED.",
                "NO RESPONSE FROM 41700 FOR DIFF ZERO CAL."},
    CalStepInfo{CalStep::DiffFullScale, "diff-fs", "ButtonSetDIFFFullScale",
                "Replace all DIFF Full Scale calibration settings?", "CMD825", true,
                "DIFF FULL SCALE CAL FINISHED.", "NO RESPONSE FROM 41700 FOR DIFF FULL SCALE CAL."},
    CalStepInfo{CalStep::WdZero, "wd-zero", "ButtonWDZero", "Replace all WD Zero calibration settings?",
                "CMD830", false, "WD ZERO CAL FINISHED.", "NO RESPONSE FROM 41700 FOR WD ZERO CAL."},
    CalStepInfo{CalStep::WdFullScale, "wd-fs", "ButtonWDFullScale",
                "Replace all WD Full Scale calibration settings?", "CMD835", false,
                "WD FULL SCALE CAL FINISHED.", "NO RESPONSE FROM 41700 FOR WD FULL SCALE CAL."},
    CalStepInfo{CalStep::Vout, "vout", "ButtonSetVout", nullptr, "CMD840", false, "VOUT CAL FINISHED.",
                "NO RESPONSE FROM 41700 FOR VOUT CAL."},
    CalStepInfo{CalStep::Iout, "iout", "ButtonSetIout", nullptr, "CMD845", false, "IOUT CAL FINISHED.",
                "NO RESPONSE FROM 41700 FOR IOUT CAL."},
};

constexpr std::array kChecks{
    CalCheckInfo{CalCheck::Se, "se", "ButtonSeChk", "NO RESPONSE FROM 41700 FOR SE CHECK."},
    CalCheckInfo{CalCheck::Diff, "diff", "ButtonDiffChk", "NO RESPONSE FROM 41700 FOR DIFF CHECK."},
    CalCheckInfo{CalCheck::Wd, "wd", "ButtonWdChk", "NO RESPONSE FROM 41700 FOR WD CHECK."},
    CalCheckInfo{CalCheck::VoutZero, "vout-zero", "ButtonVoutZeroChk",
                 "NO RESPONSE FROM 41700 FOR VOUT ZERO CHECK."},
    CalCheckInfo{CalCheck::VoutFs, "vout-fs", "ButtonVoutFsChk", "NO RESPONSE FROM 41700 FOR VOUT FS CHECK."},
    CalCheckInfo{CalCheck::IoutZero, "iout-zero", "ButtonIoutZeroChk",
                 "NO RESPONSE FROM 41700 FOR IOUT ZERO CHECK."},
    CalCheckInfo{CalCheck::IoutFs, "iout-fs", "ButtonIoutFsChk", "NO RESPONSE FROM 41700 FOR IOUT FS CHECK."},
};

constexpr size_t kCalDataRead = 1000;
// A check's echo: a minute without a reading ends it, a stream without "*" its whole limit.
constexpr WaitRule kCheckEcho{.silenceMs = int64_t{kCalWaitSeconds} * 1000,
                              .restart = WaitRule::Restart::OnProgress,
                              .limitMs = int64_t{kCalEchoLimitSeconds} * 1000};
constexpr int kOutputChannels = 4;
constexpr WaitRule kCalDataWait{.limitMs = kCalDataLimitMs, .beeps = false};

// Get Cal Data's reply, read until a read brings nothing or the buffer is full.
class CalDataReader final : public WaitReader {
public:
    std::span<uint8_t> room() override {
        return std::span(buffer_).subspan(count_, std::min(kCalDataRead, buffer_.size() - count_));
    }
    WaitStep took(std::span<const uint8_t> bytes) override {
        count_ += bytes.size();
        return bytes.empty() || count_ == buffer_.size() ? WaitStep::Over : WaitStep::Progress;
    }
    std::span<const uint8_t> text() const { return std::span(buffer_).first(count_); }

private:
    std::vector<uint8_t> buffer_ = std::vector<uint8_t>(kCalDataMaxBytes);
    size_t count_ = 0;
};

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Drives the four outputs to one level, each followed by the settling pause.
void driveOutputs(Exchange& ex, CalCheck check) {
    for (int channel = 1; channel <= kOutputChannels; ++channel) {
        switch (check) {
        case CalCheck::VoutZero:
            TestMVout(ex, channel, 0);
            break;
        case CalCheck::VoutFs:
            TestMVout(ex, channel, 5000);
            break;
        case CalCheck::IoutZero:
            TestMAout(ex, channel, 0);
            break;
        default:
            TestMAout(ex, channel, 20);
            break;
        }
        ex.host().clock().sleepMs(kOutputSettleMs);
    }
}

}  // namespace

std::string startLineOf(const CalStepInfo& info) {
    constexpr std::string_view kFinished = " FINISHED.";
    std::string_view line = info.finishedLine;
    if (line.ends_with(kFinished)) line.remove_suffix(kFinished.size());
    return std::string(line) + "...";
}

bool calibrationPasswordMatches(std::string_view typed) {
    return typed == kCalibrationPassword;
}

std::span<const CalStepInfo> calSteps() {
    return kSteps;
}

const CalStepInfo& calStepInfo(CalStep step) {
    return kSteps.at(static_cast<size_t>(step));
}

std::span<const CalCheckInfo> calChecks() {
    return kChecks;
}

const CalCheckInfo& calCheckInfo(CalCheck check) {
    return kChecks.at(static_cast<size_t>(check));
}

std::string referenceArgument(std::string_view text) {
    size_t begin = 0;
    while (begin < text.size() && (text[begin] == ' ' || text[begin] == '\t'))
        ++begin;
    size_t end = begin;
    if (end < text.size() && (text[end] == '-' || text[end] == '+')) ++end;
    const size_t digitsFrom = end;
    while (end < text.size() && isDigit(text[end]))
        ++end;
    bool anyDigit = end > digitsFrom;
    if (end < text.size() && text[end] == '.') {
        size_t frac = end + 1;
        while (frac < text.size() && isDigit(text[frac]))
            ++frac;
        if (frac > end + 1 || anyDigit) {
            anyDigit = anyDigit || frac > end + 1;
            end = frac;
        }
    }
    double value = 0;
    if (anyDigit) {
        // from_chars takes no '+', and reads the same whatever the C locale says a point is.
        const size_t from = text[begin] == '+' ? begin + 1 : begin;
        std::from_chars(text.data() + from, text.data() + end, value);
    }
    // A value beyond the single-precision range cannot be converted; it is sent as the largest.
    if (value > FLT_MAX) value = FLT_MAX;
    if (value < -FLT_MAX) value = -FLT_MAX;
    const float single = static_cast<float>(value);
    char out[64];
    const int n = std::snprintf(out, sizeof out, "%f", static_cast<double>(single));
    return {out, n > 0 ? static_cast<size_t>(n) : 0};
}

Outcome runCalibrationStep(Exchange& ex, CalStep step, bool confirmFirst, std::string_view referenceText) {
    const CalStepInfo& info = calStepInfo(step);
    Host& host = ex.host();
    const bool inputStep = info.question != nullptr;
    if (inputStep && confirmFirst && !confirmOverwrite(host, info.question)) return Outcome::refused();
    Outcome outcome = Outcome::done();
    {
        WaitCursor hourglass(host);
        if (inputStep) host.pump();
        std::string command = info.command;
        if (info.takesReference) {
            command += ' ';
            command += referenceArgument(referenceText);
        }
        command.push_back('\r');
        // The wait may take a minute: the area says what it waits for first, as a check's echo does.
        host.appendLine(startLineOf(info));
        ex.SendCommand(command);
        outcome = ex.WaitForByte(Exchange::kAck, kCalWaitSeconds).because(info.noResponseLine);
        host.appendLine(outcome.ok() ? info.finishedLine : info.noResponseLine);
        host.clock().sleepMs(kCalEndPauseMs);
    }
    return outcome;
}

Outcome runCalibrationCheck(Exchange& ex, CalCheck check) {
    const CalCheckInfo& info = calCheckInfo(check);
    Host& host = ex.host();
    const char* command = nullptr;
    switch (check) {
    case CalCheck::Se:
        command = "CMD952 16\r";
        break;
    case CalCheck::Diff:
        command = "CMD956 14\r";
        break;
    case CalCheck::Wd:
        command = "CMD954\r";
        break;
    default:
        break;
    }
    if (command != nullptr) {
        ex.SendCommand(command);
        Outcome echoed = echoUntilAck(ex, kCheckEcho);
        if (!echoed.ok()) host.appendLine(info.noResponseLine);
        return std::move(echoed).orReason(info.noResponseLine);
    }
    WaitCursor hourglass(host);
    driveOutputs(ex, check);
    host.clock().sleepMs(kOutputCheckPauseMs);
    ex.SendCommand("CMD952 04\r");
    Outcome echoed = echoUntilAck(ex, kCheckEcho);
    if (!echoed.ok()) host.appendLine(info.noResponseLine);
    host.appendLine(" ");
    return std::move(echoed).orReason(info.noResponseLine);
}

Outcome getCalData(Exchange& ex) {
    ex.SendCommand("CMD805\r");
    ex.host().clock().sleepMs(kCalDataPauseMs);
    // A read returns when its room is full or after the port's time-out: a read that brings
    // nothing is the end of the reply.
    CalDataReader reader;
    Outcome read = ex.wait(kCalDataWait, reader);
    if (reader.text().empty()) return read.ok() ? ex.failure() : read;
    ex.host().appendLine(kCalDataHeader);
    EchoWriter(ex.host()).write(reader.text());
    return read;
}

}  // namespace vrn::service
