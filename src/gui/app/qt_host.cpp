#include "gui/app/qt_host.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <algorithm>

#include "core/app/box_position.h"
#include "core/link/clock.h"
#include "gui/app/file_filter.h"
#include "gui/app/file_names.h"

namespace vrn::gui {
namespace {

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A message box that places itself over the main window once it knows its final size, which it
// settles only as it is shown, before it appears on the screen. Positions are outer frames.
class CentredMessageBox final : public QMessageBox {
public:
    explicit CentredMessageBox(QWidget* main) : QMessageBox(main), main_(main) {}

protected:
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event);
        const QRect main = main_->frameGeometry();
        // Not yet on the screen, the box has no frame of its own: it gets the main window's.
        const QSize box = size() + (main.size() - main_->size());
        const ScreenPoint at =
            centredOver({main.x(), main.y(), main.width(), main.height()}, box.width(), box.height());
        move(at.left, at.top);
    }

private:
    QWidget* main_;
};

}  // namespace

QtHost::QtHost(Clock& clock, const Widgets& widgets)
    : clock_(clock), widgets_(widgets), guard_(*widgets.window) {
    ticker_.setTimerType(Qt::PreciseTimer);
    ticker_.setInterval(static_cast<int>(Timer1::kIntervalMs));
    QObject::connect(&ticker_, &QTimer::timeout, [this] { timer1_.catchUp(clock_.nowMs()); });
    timer1_.start(clock_.nowMs());
    ticker_.start();
    followMessages();
}

// A transfer that blocks the window still shows its lines and progress as they come, so the
// widgets are repainted at once instead of at the next turn of the event loop.
void QtHost::appendLine(std::string_view line) {
    addToMessages(fromUtf8(line), true);
}

void QtHost::appendText(std::string_view text) {
    addToMessages(fromUtf8(text), false);
}

// The area follows new text while it shows its end; scrolled back, it stays where the user put it
// (End brings the newest lines).
void QtHost::addToMessages(const QString& text, bool asLine) {
    QPlainTextEdit* memo = widgets_.messages;
    QScrollBar* bar = memo->verticalScrollBar();
    const int shown = bar->value();
    QTextCursor cursor(memo->document());
    cursor.movePosition(QTextCursor::End);
    if (asLine && !memo->document()->isEmpty()) cursor.insertBlock();
    cursor.insertText(text);
    bar->setValue(followMessages_ ? bar->maximum() : shown);
    memo->repaint();
}

// Whether the area follows is the user's choice, made by where they scroll to. The range also
// grows without new text: a long line's sideways bar takes a line's height from the view, after
// the line came. Following, the area keeps its end in view through that too.
void QtHost::followMessages() {
    QScrollBar* bar = widgets_.messages->verticalScrollBar();
    QObject::connect(bar, &QScrollBar::valueChanged,
                     [this, bar](int value) { followMessages_ = value >= bar->maximum(); });
    QObject::connect(bar, &QScrollBar::rangeChanged, [this, bar](int, int maximum) {
        if (followMessages_) bar->setValue(maximum);
    });
}

void QtHost::clearMessages() {
    widgets_.messages->clear();
}

void QtHost::setProgressMax(int max) {
    widgets_.progress->setMaximum(max);
    progress_ = widgets_.progress->value();
    widgets_.progress->repaint();
}

// A transfer sets the bar for every byte or block, far more often than a screen shows it, and
// every visible change repaints the bar at once (QProgressBar does); that cost more than the
// transfer's own wire time. So the bar follows at most once a frame, its ends at once, and the
// pumps of a wait show where it stopped.
void QtHost::setProgress(int position) {
    // QProgressBar ignores a value outside its range; the bar stops at its ends instead.
    QProgressBar* bar = widgets_.progress;
    progress_ = std::clamp(position, bar->minimum(), bar->maximum());
    if (progress_ == bar->minimum() || progress_ == bar->maximum() ||
        clock_.nowUs() - progressShownUs_ >= kProgressFrameUs)
        showProgress();
}

void QtHost::showProgress() {
    if (widgets_.progress->value() == progress_) return;
    widgets_.progress->setValue(progress_);
    progressShownUs_ = clock_.nowUs();
}

void QtHost::setStatusText(std::string_view text) {
    widgets_.status->setText(fromUtf8(text));
    widgets_.status->repaint();
}

MsgResult QtHost::MyMessage(std::string_view text, MsgButtons buttons, MsgKind kind) {
    // The window is closing: nothing more is asked or shown, and a question is a No.
    if (guard_.closeRequested()) return buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::No;
    CentredMessageBox box(widgets_.window);
    box.setObjectName(QStringLiteral("MyMessage"));
    const bool warning = kind == MsgKind::Warning;
    box.setIcon(warning ? QMessageBox::Warning : QMessageBox::Question);
    box.setWindowTitle(QString::fromLatin1(warning ? kWarningTitle : kConfirmTitle));
    // Texts may carry what the instrument or a file said: never read them as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(fromUtf8(text));
    box.setStandardButtons(buttons == MsgButtons::Ok ? QMessageBox::Ok
                           : buttons == MsgButtons::YesNoCancel
                               ? QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel
                               : QMessageBox::Yes | QMessageBox::No);
    if (buttons == MsgButtons::YesNoDefaultNo) box.setDefaultButton(QMessageBox::No);
    const int pressed = box.exec();
    if (buttons == MsgButtons::Ok) return MsgResult::Ok;
    // Closing a question that has Cancel is a Cancel.
    if (buttons == MsgButtons::YesNoCancel && pressed != QMessageBox::Yes && pressed != QMessageBox::No)
        return MsgResult::Cancel;
    // Closing a question without an answer is a No: callers go on only on Yes.
    return pressed == QMessageBox::Yes ? MsgResult::Yes : MsgResult::No;
}

QtHost::SaveAnswer QtHost::askSaveChanges(std::string_view text) {
    if (guard_.closeRequested()) return SaveAnswer::Cancel;
    CentredMessageBox box(widgets_.window);
    box.setObjectName(QStringLiteral("MyMessage"));
    box.setIcon(QMessageBox::Question);
    box.setWindowTitle(QString::fromLatin1(kConfirmTitle));
    box.setTextFormat(Qt::PlainText);
    box.setText(fromUtf8(text));
    box.setStandardButtons(QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    // Alt+S and Alt+D answer from the keyboard; the box is modal, so no page's keys clash.
    box.button(QMessageBox::Save)->setText(QStringLiteral("&Save"));
    box.button(QMessageBox::Discard)->setText(QStringLiteral("&Discard"));
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Save:
        return SaveAnswer::Save;
    case QMessageBox::Discard:
        return SaveAnswer::Discard;
    default:
        return SaveAnswer::Cancel;
    }
}

void QtHost::beep(BeepKind) {
    QApplication::beep();
}

// The hourglass is on for the whole of an operation with the instrument, so it tells the guard
// how long the controls its pumps disabled may stay so.
void QtHost::setWaitCursor(bool on) {
    if (on) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        guard_.operationStarted();
    } else {
        QApplication::restoreOverrideCursor();
        guard_.operationEnded();
    }
}

void QtHost::pump() {
    if (clock_.nowUs() - progressShownUs_ >= kProgressFrameUs) showProgress();
    {
        const ExchangeGuard::Pumping pumping(guard_);
        QCoreApplication::processEvents();
    }
    timer1_.catchUp(clock_.nowMs());
    guard_.endWaitIfClosing();
}

std::optional<std::string> QtHost::openFileName(const FileDialogSpec& spec) {
    return runFileDialog(spec, false);
}

std::optional<std::string> QtHost::saveFileName(const FileDialogSpec& spec) {
    return runFileDialog(spec, true);
}

std::optional<std::string> QtHost::openFileNameWithCheckBox(const FileDialogSpec& spec, std::string_view box,
                                                            bool& checked) {
    return runFileDialog(spec, false, box, &checked);
}

std::optional<std::string> QtHost::runFileDialog(const FileDialogSpec& spec, bool save, std::string_view box,
                                                 bool* checked) {
    if (guard_.closeRequested()) return std::nullopt;
    QFileDialog dialog(widgets_.window, fromUtf8(spec.title));
    dialog.setObjectName(save ? QStringLiteral("SaveDialog") : QStringLiteral("OpenDialog"));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(!save && spec.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setNameFilters(qtNameFilters(spec.filter));
    dialog.setDefaultSuffix(fromUtf8(spec.defaultExt));
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !spec.overwritePrompt);
    QCheckBox* checkBox = nullptr;
    if (checked != nullptr) {
        // Qt's own dialog, which has a layout to put the box in, under the file list.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        checkBox = new QCheckBox(fromUtf8(box), &dialog);
        checkBox->setObjectName(QStringLiteral("DialogCheckBox"));
        checkBox->setChecked(*checked);
        if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
            grid->addWidget(checkBox, grid->rowCount(), 0, 1, grid->columnCount());
    }
    const auto folder = lastFolders_.find(spec.defaultExt);
    if (folder != lastFolders_.end() && QFileInfo(folder->second).isDir())
        dialog.setDirectory(folder->second);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    if (checkBox != nullptr) *checked = checkBox->isChecked();
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return std::nullopt;
    lastFolders_[spec.defaultExt] = QFileInfo(chosen.front()).absolutePath();
    return localFileName(chosen.front());
}

}  // namespace vrn::gui
