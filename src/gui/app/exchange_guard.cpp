#include "gui/app/exchange_guard.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTabBar>
#include <QTabWidget>
#include <QWidget>
#include <algorithm>

namespace vrn::gui {
namespace {

bool isInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::Shortcut:
        return true;
    default:
        return false;
    }
}

}  // namespace

ExchangeGuard::ExchangeGuard(QWidget& window) : window_(window) {}

void ExchangeGuard::keepUsable(QObject* control) {
    usable_.emplace_back(control);
}

bool ExchangeGuard::kept(const QObject* object) const {
    return std::any_of(usable_.begin(), usable_.end(),
                       [object](const QPointer<QObject>& control) { return control == object; });
}

// Whether a usable control lies somewhere inside widget.
bool ExchangeGuard::holdsUsable(const QWidget* widget) const {
    for (const QPointer<QObject>& control : usable_)
        for (const QObject* o = control ? control->parent() : nullptr; o != nullptr; o = o->parent())
            if (o == widget) return true;
    return false;
}

void ExchangeGuard::endWaitIfClosing() {
    if (closeRequested_) emit endWait();
}

ExchangeGuard::Pumping::Pumping(ExchangeGuard& guard) : guard_(guard) {
    if (guard_.depth_++ == 0) guard_.engage();
}

ExchangeGuard::Pumping::~Pumping() {
    if (--guard_.depth_ == 0) guard_.release();
}

bool ExchangeGuard::deferClose() {
    if (!running()) return false;
    if (!closeRequested_) closeLater();
    closeRequested_ = true;
    return true;
}

// Posted events run in every pump and in the window's own event loop; the close waits for the latter.
void ExchangeGuard::closeLater() {
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (running()) {
                closeLater();
                return;
            }
            closeRequested_ = false;
            window_.close();
        },
        Qt::QueuedConnection);
}

// The menu bar and the page tabs let the user reach File, Exit and look at other pages.
bool ExchangeGuard::usable(const QObject* object) const {
    for (const QObject* o = object; o != nullptr && o != &window_; o = o->parent()) {
        if (kept(o) || qobject_cast<const QMenuBar*>(o) || qobject_cast<const QTabBar*>(o)) return true;
    }
    return false;
}

void ExchangeGuard::engage() {
    if (!holdingWidgets_) {
        holdingWidgets_ = true;
        // Looked up once an operation: walking the window for them was most of a pump's own cost.
        menus_.clear();
        for (QMenu* menu : window_.findChildren<QMenu*>())
            menus_.emplace_back(menu);
        focus_ = QApplication::focusWidget();
        if (pages_)
            for (int i = 0; i < pages_->count(); ++i)
                disableAround(pages_->widget(i));
        // Installed last, so it sees input before the other filters (the screen editor's keys).
        qApp->installEventFilter(this);
    }
    for (const QPointer<QMenu>& menu : menus_) {
        if (!menu) continue;
        for (QAction* action : menu->actions()) {
            if (action->isSeparator() || action->menu() || kept(action) || !action->isEnabled()) continue;
            action->setEnabled(false);
            disabledActions_.emplace_back(action);
        }
    }
}

// A container is disabled as a whole, so what the exchange itself switches inside it is kept;
// one that holds a usable control is opened up instead.
void ExchangeGuard::disableAround(QWidget* widget) {
    if (!holdsUsable(widget)) {
        if (widget->isEnabledTo(widget->parentWidget())) {
            widget->setEnabled(false);
            disabledWidgets_.emplace_back(widget);
        }
        return;
    }
    for (QWidget* child : widget->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (!kept(child)) disableAround(child);
}

// The commands come back at once, as code between two pumps may switch them. Within an operation
// the controls stay disabled until it ends: switching them off and on at every pump made the
// window repaint the whole page each time, which cost a transfer in the window several times its
// wire time. Code between pumps only switches controls inside the disabled containers, which keep
// what it sets.
void ExchangeGuard::release() {
    for (const QPointer<QAction>& action : disabledActions_)
        if (action) action->setEnabled(true);
    disabledActions_.clear();
    if (operations_ == 0) releaseWidgets();
}

void ExchangeGuard::operationStarted() {
    ++operations_;
}

void ExchangeGuard::operationEnded() {
    if (operations_ > 0 && --operations_ == 0 && !running()) releaseWidgets();
}

void ExchangeGuard::releaseWidgets() {
    if (!holdingWidgets_) return;
    holdingWidgets_ = false;
    qApp->removeEventFilter(this);
    for (const QPointer<QWidget>& widget : disabledWidgets_)
        if (widget) widget->setEnabled(true);
    disabledWidgets_.clear();
    // A disabled control hands its focus on; it gets it back.
    if (focus_ && focus_->isEnabled()) focus_->setFocus();
}

bool ExchangeGuard::eventFilter(QObject* watched, QEvent* event) {
    if (!running() || !isInput(event->type())) return false;
    if (qobject_cast<QAction*>(watched)) return !kept(watched);
    auto* widget = qobject_cast<QWidget*>(watched);
    return widget != nullptr && widget->window() == &window_ && !usable(widget);
}

}  // namespace vrn::gui
