#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

#include "cli/command_result.h"
#include "cli/stop_signal.h"
#include "core/link/host.h"
#include "core/link/timer1.h"

namespace vrn::cli {

// The window's Host on a terminal: message-area lines go to stdout (stderr when stdout takes a data
// file), boxes to stderr as
// "warning: ..." lines, the progress bar to stderr when that is a terminal. Questions are
// answered Yes only when the user said --yes; otherwise the answer is No and the refusal is kept.
// Every line, warning and error is also kept in the run's log, --quiet or not.
class TerminalHost final : public Host {
public:
    // The progress bar is drawn again at most this often.
    static constexpr int64_t kProgressRedrawMs = 100;

    struct Options {
        bool quiet = false;
        bool yes = false;
        bool progressBar = false;  // stderr is a terminal
    };

    TerminalHost(std::ostream& out, std::ostream& err, Clock& clock, Options options, MessageLog& log);

    void appendLine(std::string_view line) override;
    void appendText(std::string_view text) override;
    void clearMessages() override {}
    // On stderr with the warnings, kept even by --quiet; one of the run's warnings.
    void appendAdvice(std::string_view line) override;
    void setProgressMax(int max) override;
    void setProgress(int position) override;
    void setStatusText(std::string_view) override {}
    MsgResult MyMessage(std::string_view text, MsgButtons buttons, MsgKind kind) override;
    void beep(BeepKind) override {}
    void setWaitCursor(bool) override {}
    void pump() override;
    // A stop signal ends the running wait and every one after it.
    bool closing() const override { return stopSignal() != 0; }
    Timer1& timer() override { return timer_; }
    Clock& clock() override { return clock_; }
    // The tool takes file names as arguments; no dialog is ever asked for.
    std::optional<std::string> openFileName(const FileDialogSpec&) override { return std::nullopt; }
    std::optional<std::string> saveFileName(const FileDialogSpec&) override { return std::nullopt; }

    // A line of our own on stdout (kept out by --quiet, like the message area).
    void info(std::string_view line);
    // The answer the command exists for, on stdout even with --quiet.
    void result(std::string_view line);
    // Standard output takes the command's data file: the lines meant for it go to stderr.
    void dataOnStdout();
    // From now on the message-area lines are the command's answer (calibration data, a check's
    // readings): --quiet keeps them.
    void messagesAreTheResult();
    // "error: ..." on stderr, never kept out.
    void error(std::string_view text);
    // The message-area lines from messagesAreTheResult() on.
    std::vector<std::string> resultLines() const;

    bool refusedQuestion() const { return refused_; }
    bool answersYes() const { return options_.yes; }

private:
    void endProgressLine();

    std::ostream* out_;
    std::ostream& err_;
    Clock& clock_;
    Options options_;
    MessageLog& log_;
    size_t resultLinesFrom_ = 0;
    Timer1 timer_;
    int progressMax_ = 100;
    bool progressShown_ = false;
    int64_t lastDrawMs_ = 0;
    bool refused_ = false;
    bool messagesAreResult_ = false;
};

// A box's text on one line: its line breaks become blanks.
std::string oneLine(std::string_view text);

}  // namespace vrn::cli
