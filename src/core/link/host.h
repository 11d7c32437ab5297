#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vrn {

class Clock;
class Timer1;

enum class MsgKind : uint8_t { Warning, Confirmation };
// YesNoDefaultNo: a question whose Yes erases or overwrites something in the instrument, so that
// Enter alone never says Yes to it.
// YesNoCancel: Cancel (or closing the box) leaves things as they were and the operation goes on.
enum class MsgButtons : uint8_t { Ok, YesNo, YesNoDefaultNo, YesNoCancel };
enum class MsgResult : uint8_t { Ok, Yes, No, Cancel };
enum class BeepKind : uint8_t { Default, Warning };

// A file dialog as the window shows it. The filter uses the "Text (*.ext)|*.ext|..." pairs.
struct FileDialogSpec {
    std::string title;
    std::string filter;
    std::string defaultExt;        // without the dot
    bool mustExist = false;        // open: path and file must exist
    bool overwritePrompt = false;  // save: ask before replacing a file
};

// Everything a transfer needs from the window. The window implements it with its widgets, the
// command-line tool with the terminal, tests with a recording host that answers from a script.
class Host {
public:
    virtual ~Host() = default;

    // Message area: one line appended, or raw text appended to the last line.
    virtual void appendLine(std::string_view line) = 0;
    virtual void appendText(std::string_view text) = 0;
    virtual void clearMessages() = 0;
    // A line that tells the user how to fix a problem: a message-area line in the window, but a
    // terminal shows it with the warnings, where it is seen even when the progress lines are not.
    virtual void appendAdvice(std::string_view line) { appendLine(line); }

    // A total not known beforehand is kUnknownTotal: the bar shows that work goes on, without a
    // position.
    static constexpr int kUnknownTotal = 0;
    virtual void setProgressMax(int max) = 0;
    virtual void setProgress(int position) = 0;

    virtual void setStatusText(std::string_view text) = 0;

    // The program's modal message box, centred on the main window; returns the button pressed.
    virtual MsgResult MyMessage(std::string_view text, MsgButtons buttons, MsgKind kind) = 0;

    virtual void beep(BeepKind kind) = 0;
    virtual void setWaitCursor(bool on) = 0;

    // Lets pending window events run (repaint, buttons, Timer1 ticks).
    virtual void pump() = 0;
    // True once the user has closed the window during an exchange: a long loop ends at its next
    // pump instead of running to its end.
    virtual bool closing() const { return false; }

    virtual Timer1& timer() = 0;
    virtual Clock& clock() = 0;

    // Empty when the user cancels.
    virtual std::optional<std::string> openFileName(const FileDialogSpec& spec) = 0;
    virtual std::optional<std::string> saveFileName(const FileDialogSpec& spec) = 0;
    // An open dialog with one check box under the file list: `checked` goes in as the box's first
    // state and comes out as the user left it. A host without such a dialog leaves it as it was.
    virtual std::optional<std::string> openFileNameWithCheckBox(const FileDialogSpec& spec,
                                                                std::string_view box, bool& checked) {
        (void)box;
        (void)checked;
        return openFileName(spec);
    }
};

// Shows a warning box with OK.
inline void warn(Host& host, std::string_view text) {
    host.MyMessage(text, MsgButtons::Ok, MsgKind::Warning);
}

// Asks a Yes/No question; true on Yes.
inline bool confirm(Host& host, std::string_view text) {
    return host.MyMessage(text, MsgButtons::YesNo, MsgKind::Confirmation) == MsgResult::Yes;
}

// Asks before something in the instrument is erased or overwritten; No is the default button.
inline bool confirmOverwrite(Host& host, std::string_view text) {
    return host.MyMessage(text, MsgButtons::YesNoDefaultNo, MsgKind::Confirmation) == MsgResult::Yes;
}

// Hourglass for the lifetime of the guard, restored on every way out.
class WaitCursor {
public:
    explicit WaitCursor(Host& host) : host_(host) { host_.setWaitCursor(true); }
    ~WaitCursor() { host_.setWaitCursor(false); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    Host& host_;
};

}  // namespace vrn
