#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/link/host.h"
#include "core/link/timer1.h"
#include "core/link/virtual_clock.h"

namespace vrn::test {

// A Host for tests: keeps every line, box, beep and progress value, answers boxes and file
// dialogs from a script, and runs Timer1 on its clock in pump(): its own virtual clock, or the
// clock it was given (the real one in end-to-end tests).
class RecordingHost : public Host {
public:
    struct Box {
        std::string text;
        MsgButtons buttons;
        MsgKind kind;
    };

    RecordingHost();
    explicit RecordingHost(Clock& clock);

    void appendLine(std::string_view line) override;
    void appendText(std::string_view text) override;
    void clearMessages() override;
    void setProgressMax(int max) override { progressMax = max; }
    void setProgress(int position) override { progress.push_back(position); }
    void setStatusText(std::string_view text) override { status = std::string(text); }
    MsgResult MyMessage(std::string_view text, MsgButtons buttons, MsgKind kind) override;
    void beep(BeepKind kind) override;
    void setWaitCursor(bool on) override;
    void pump() override;
    bool closing() const override { return closingWhen && closingWhen(); }
    Timer1& timer() override { return timer_; }
    Clock& clock() override { return clockInUse_; }
    std::optional<std::string> openFileName(const FileDialogSpec& spec) override;
    std::optional<std::string> saveFileName(const FileDialogSpec& spec) override;
    std::optional<std::string> openFileNameWithCheckBox(const FileDialogSpec& spec, std::string_view box,
                                                        bool& checked) override;

    // Script: answers for the next boxes (Yes/No; OK boxes need none) and file dialogs.
    void setNextAnswer(MsgResult answer) { answers.push_back(answer); }
    void setNextFileName(std::optional<std::string> name) { fileNames.push_back(std::move(name)); }

    VirtualClock clock_;
    // Runs on every tick of Timer1, before its countdown is lowered.
    std::function<void()> onTick;
    Timer1 timer_{[this] {
        if (onTick) onTick();
    }};
    std::vector<std::string> lines;  // the message area, line by line
    std::vector<Box> boxes;
    std::vector<int64_t> beepTimesUs;
    std::vector<BeepKind> beepKinds;  // in the order of beepTimesUs
    std::vector<int> progress;        // every position set, in order
    int progressMax = 0;
    std::string status;
    int waitCursorDepth = 0;
    int waitCursorShown = 0;  // how many times the hourglass was set
    int pumps = 0;
    std::function<bool()> closingWhen;  // the window is closed once this holds
    std::vector<FileDialogSpec> dialogs;
    std::deque<MsgResult> answers;
    std::deque<std::optional<std::string>> fileNames;
    // The check boxes of open dialogs as shown (text and first state), and how to leave them.
    std::vector<std::pair<std::string, bool>> checkBoxes;
    std::deque<bool> checkBoxAnswers;

private:
    Clock& clockInUse_;
};

}  // namespace vrn::test
