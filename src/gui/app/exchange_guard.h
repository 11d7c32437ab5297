#pragma once

#include <QObject>
#include <QPointer>
#include <vector>

class QAction;
class QMenu;
class QTabWidget;
class QWidget;

namespace vrn::gui {

// One exchange with the instrument at a time. Transfers run on the window's thread and let window
// events run only while they wait (Host::pump), and every such pump goes through here: while it
// runs, every command and every control that could start a second exchange, or change a model
// being filled, is disabled, and input that reaches one anyway is dropped. The controls given to
// keepUsable (Stop Calibration, Stop of Get Records, the message area, File, Exit) and the page
// tabs stay usable. Closing the window meanwhile ends the exchange at its next wait and closes the
// window once the exchange has returned.
class ExchangeGuard final : public QObject {
    Q_OBJECT
public:
    explicit ExchangeGuard(QWidget& window);

    // The pages disabled during an exchange are this control's.
    void setPages(QTabWidget* pages) { pages_ = pages; }
    // A control, menu item or widget (with all inside it) that stays usable during an exchange.
    void keepUsable(QObject* control);

    // Held around the events one pump lets through. The outermost one disables; afterwards the
    // commands come back at once, and the controls too unless an operation is running.
    class Pumping {
    public:
        explicit Pumping(ExchangeGuard& guard);
        ~Pumping();
        Pumping(const Pumping&) = delete;
        Pumping& operator=(const Pumping&) = delete;

    private:
        ExchangeGuard& guard_;
    };

    // True while an exchange is letting events through.
    bool running() const { return depth_ > 0; }
    // True when the window must not close yet: the close is then remembered, the exchange ends at
    // its next wait, and the window closes once it has.
    bool deferClose();
    bool closeRequested() const { return closeRequested_; }
    // An operation with the instrument (the hourglass) starts and ends; they may nest. Within one,
    // the controls the pumps disabled stay so until the outermost ends (the commands come back
    // after every pump).
    void operationStarted();
    void operationEnded();

    // Called after every pump: once a close was asked for, asks for the running wait to end.
    void endWaitIfClosing();

signals:
    // The running wait is to end at once (the exchange's waits aborted, Timer1 run out).
    void endWait();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void engage();
    void release();
    void releaseWidgets();
    void closeLater();
    bool kept(const QObject* object) const;
    bool usable(const QObject* object) const;
    bool holdsUsable(const QWidget* widget) const;
    void disableAround(QWidget* widget);

    QWidget& window_;
    QTabWidget* pages_ = nullptr;  // the window's, which outlives the guard
    std::vector<QPointer<QObject>> usable_;
    int depth_ = 0;
    bool closeRequested_ = false;
    bool holdingWidgets_ = false;
    int operations_ = 0;
    QPointer<QWidget> focus_;
    std::vector<QPointer<QMenu>> menus_;
    std::vector<QPointer<QAction>> disabledActions_;
    std::vector<QPointer<QWidget>> disabledWidgets_;
};

}  // namespace vrn::gui
