#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <vector>

class QAction;
class QMenu;
class QWidget;

namespace vrn::gui {

// One exchange with the instrument at a time. Transfers run on the window's thread and let window
// events run only while they wait (Host::pump), and every such pump goes through here: while it
// runs, every command and every control that could start a second exchange, or change a model
// being filled, is disabled, and input that reaches one anyway is dropped. Stop Calibration, Stop of
// Get Records, the message area, the page tabs and File, Exit stay usable. Closing the window meanwhile ends
// the exchange at its next wait and closes the window once the exchange has returned.
class ExchangeGuard final : public QObject {
public:
    explicit ExchangeGuard(QWidget& window);

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

    // Ends the running wait at once (aborts the exchange's waits and runs Timer1 out); called after
    // every pump once a close was asked for.
    std::function<void()> endWait;

    // The controls that stay usable during an exchange, by their names.
    static constexpr const char* kUsableNames[] = {"ButtonStopCal", "ButtonStopRecords", "Exit1", "Memo1",
                                                   "ButtonClearMemo"};

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void engage();
    void release();
    void releaseWidgets();
    void closeLater();
    bool usable(const QObject* object) const;
    void disableAround(QWidget* widget);

    QWidget& window_;
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
