#pragma once

#include <QString>
#include <QTimer>
#include <functional>
#include <map>
#include <string>

#include "core/link/host.h"
#include "core/link/timer1.h"
#include "gui/app/exchange_guard.h"

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QString;
class QWidget;

namespace vrn::gui {

// The Host seam on the main window's widgets. Timer1 runs on the Clock: a 500 ms QTimer and every
// pump() let it catch up with the Clock's time, so its ticks depend on nothing else.
class QtHost final : public Host {
public:
    struct Widgets {
        QWidget* window = nullptr;  // boxes and dialogs are centred over it
        QPlainTextEdit* messages = nullptr;
        QProgressBar* progress = nullptr;
        QLabel* status = nullptr;
    };

    // onTick runs on every tick of Timer1.
    QtHost(Clock& clock, const Widgets& widgets, std::function<void()> onTick = {});

    void appendLine(std::string_view line) override;
    void appendText(std::string_view text) override;
    void clearMessages() override;
    void setProgressMax(int max) override;
    void setProgress(int position) override;
    void setStatusText(std::string_view text) override;
    MsgResult MyMessage(std::string_view text, MsgButtons buttons, MsgKind kind) override;
    void beep(BeepKind kind) override;
    void setWaitCursor(bool on) override;
    void pump() override;
    bool closing() const override { return guard_.closeRequested(); }
    Timer1& timer() override { return timer1_; }
    // Keeps a second command out while an exchange lets window events through.
    ExchangeGuard& guard() { return guard_; }
    Clock& clock() override { return clock_; }
    std::optional<std::string> openFileName(const FileDialogSpec& spec) override;
    std::optional<std::string> saveFileName(const FileDialogSpec& spec) override;
    std::optional<std::string> openFileNameWithCheckBox(const FileDialogSpec& spec, std::string_view box,
                                                        bool& checked) override;

    // The question before work is replaced: Save, Discard or Cancel (also the answer when the box
    // is closed, and while the window is closing during an exchange).
    enum class SaveAnswer : uint8_t { Save, Discard, Cancel };
    SaveAnswer askSaveChanges(std::string_view text);

    // The folder each kind of file (by its default extension) was last opened from or saved in;
    // a file dialog starts there.
    const std::map<std::string, QString>& lastFolders() const { return lastFolders_; }
    void setLastFolders(std::map<std::string, QString> folders) { lastFolders_ = std::move(folders); }

    static constexpr const char* kWarningTitle = "Warning";
    // Between its ends, the progress bar shows at most one change in this time.
    static constexpr int64_t kProgressFrameUs = 15000;
    static constexpr const char* kConfirmTitle = "Confirm";

private:
    std::optional<std::string> runFileDialog(const FileDialogSpec& spec, bool save, std::string_view box = {},
                                             bool* checked = nullptr);
    void showProgress();
    void addToMessages(const QString& text, bool asLine);
    void followMessages();

    Clock& clock_;
    Widgets widgets_;
    Timer1 timer1_;
    QTimer ticker_;
    ExchangeGuard guard_;
    std::map<std::string, QString> lastFolders_;
    bool followMessages_ = true;  // the message area showed its end when last scrolled
    int progress_ = 0;            // the position asked for, which the bar shows within a frame
    int64_t progressShownUs_ = -kProgressFrameUs;
};

}  // namespace vrn::gui
