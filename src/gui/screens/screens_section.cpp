#include "gui/screens/screens_section.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QVBoxLayout>
#include <algorithm>

#include "core/link/exchange.h"
#include "core/link/usb_port.h"
#include "core/screens/screen_actions.h"
#include "gui/app/change_tracker.h"
#include "gui/app/main_menu.h"
#include "gui/screens/screen_undo.h"
#include "gui/screens/screens_page.h"

namespace vrn::gui {
namespace {

// The editor's keys by their virtual-key numbers; 0 for the others.
int virtualKey(int qtKey) {
    using screens::EditKey;
    switch (qtKey) {
    case Qt::Key_Backspace:
        return static_cast<int>(EditKey::Backspace);
    case Qt::Key_End:
        return static_cast<int>(EditKey::End);
    case Qt::Key_Home:
        return static_cast<int>(EditKey::Home);
    case Qt::Key_Left:
        return static_cast<int>(EditKey::Left);
    case Qt::Key_Up:
        return static_cast<int>(EditKey::Up);
    case Qt::Key_Right:
        return static_cast<int>(EditKey::Right);
    case Qt::Key_Down:
        return static_cast<int>(EditKey::Down);
    case Qt::Key_Delete:
        return static_cast<int>(EditKey::Delete);
    default:
        return 0;
    }
}

// Every action under the menu, its submenus' included.
void collectActions(QMenu* menu, std::vector<QAction*>& out) {
    for (QAction* action : menu->actions()) {
        if (action->isSeparator()) continue;
        if (QMenu* sub = action->menu())
            collectActions(sub, out);
        else
            out.push_back(action);
    }
}

}  // namespace

ScreensSection::ScreensSection(QWidget& window, const PageTab& page, Exchange& exchange,
                               screens::ScreenStore& store, ChangeTracker& changes, MainMenu& menu)
    : QObject(&window),
      window_(window),
      tab_(page),
      exchange_(exchange),
      store_(store),
      changes_(changes),
      commands_(menu.items().Commands1) {
    QWidget* sheet = tab_.sheet();
    page_ = new ScreensPage(sheet);
    auto* layout = new QVBoxLayout(sheet);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(page_);

    display_ = std::make_unique<screens::ScreenDisplay>(store_, page_->screenImage());
    editor_ = std::make_unique<screens::ScreenEditor>(*display_, exchange.host());
    transfer_ = std::make_unique<screens::ScreenTransfer>(exchange, *display_, *editor_);
    editor_->onChange = [this] {
        refresh();
        changes_.touch();
    };
    editor_->clearAll();
    undo_.setUndoLimit(kUndoLimit);
    connectPage();

    connect(menu.add(&MainMenuItems::RxScreens, this), &QAction::triggered, this, [this] {
        if (exchange_.port().isOpen() && !changes_.maySaveFirst({Part::Screens})) return;
        if (screens::RxScreens(*transfer_, [this] { tab_.show(); }).ok()) changes_.loaded(Part::Screens);
    });
    connect(menu.add(&MainMenuItems::TxScreens, this), &QAction::triggered, this, [this] {
        if (screens::TxScreens(*transfer_, [this] { tab_.show(); }).ok()) changes_.saved(Part::Screens);
    });

    // A space on these controls would click them or switch the font; it is meant for the screen.
    for (QObject* control : page_->spaceControls())
        suppressSpaceOn(control);
    qApp->installEventFilter(this);
}

void ScreensSection::connectPage() {
    ScreensPage& p = *page_;
    connect(&p, &ScreensPage::startEditClicked, this, [this] { editor_->ButtonStartEditClick(); });
    connect(&p, &ScreensPage::stopEditClicked, this, [this] { editor_->ButtonStopEditClick(); });
    connect(&p, &ScreensPage::clearScreenClicked, this, [this] {
        if (!editor_->editing() || !changes_.maySaveFirst({Part::Screens})) return;
        recordEdit("Clear Screen", [this] {
            editor_->ButtonScreenClrClick();
            return true;
        });
    });
    connect(&p, &ScreensPage::smallFontClicked, this, [this] { editor_->RadioButtonFontSmallClick(); });
    connect(&p, &ScreensPage::largeFontClicked, this, [this] { editor_->RadioButtonFontBigClick(); });
    p.screenNumberChanging = [this](int number) { return editor_->UpDownScrNumChangingEx(number); };
}

void ScreensSection::suppressSpaceOn(QObject* control) {
    spaceSuppressed_.push_back(control);
    control->installEventFilter(this);
}

screens::ScreenStore& ScreensSection::store() {
    return store_;
}

void ScreensSection::refresh() {
    page_->showEditor(*editor_);
    setCommandsEnabled(!editor_->editing());
}

// Every transfer to or from the instrument waits while the screens are edited. Only what this
// disabled is enabled again.
void ScreensSection::setCommandsEnabled(bool on) {
    commands_->menuAction()->setEnabled(on);
    if (on) {
        for (QAction* action : disabledCommands_)
            action->setEnabled(true);
        disabledCommands_.clear();
        return;
    }
    std::vector<QAction*> all;
    collectActions(commands_, all);
    for (QAction* action : all)
        if (action->isEnabled()) {
            action->setEnabled(false);
            disabledCommands_.push_back(action);
        }
}

bool ScreensSection::routesKeys(QObject* receiver) const {
    if (!editor_->editing() || !tab_.shown()) return false;
    // Keys for a dialog or box over the window are theirs.
    return receiver->isWidgetType() && static_cast<QWidget*>(receiver)->window() == &window_;
}

// Acts on a key the editor takes; true when it took it. A shortcut check only asks.
bool ScreensSection::routeKey(QKeyEvent* key, bool shortcutOverride) {
    const Qt::KeyboardModifiers mods =
        key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (const int vk = virtualKey(key->key())) {
        if (mods != Qt::NoModifier && shortcutOverride) return false;
        if (shortcutOverride) return true;
        return recordEdit("Erase", [&] { return editor_->keyDown(vk); });
    }
    // Tab and Backtab move the focus; Alt combinations are the buttons' mnemonics.
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab ||
        (mods & (Qt::AltModifier | Qt::MetaModifier)))
        return false;
    const QString text = key->text();
    if (text.isEmpty()) return false;
    if (shortcutOverride) return mods == Qt::NoModifier;
    return recordEdit("Typing", [&] { return editor_->character(text.at(0).unicode()); });
}

bool ScreensSection::recordEdit(const char* text, const std::function<bool()>& operation) {
    const ScreenSnapshot before = ScreenSnapshot::of(*editor_);
    const bool taken = operation();
    const ScreenSnapshot after = ScreenSnapshot::of(*editor_);
    if (before.bytes != after.bytes)
        undo_.push(new ScreenEditCommand(QString::fromLatin1(text), *editor_, before, after));
    return taken;
}

bool ScreensSection::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (routesKeys(watched)) {
        if (type == QEvent::ShortcutOverride) {
            if (routeKey(key, true)) event->accept();
            return false;
        }
        if (type == QEvent::KeyPress) return routeKey(key, false);
    }
    const bool suppressed =
        std::find(spaceSuppressed_.begin(), spaceSuppressed_.end(), watched) != spaceSuppressed_.end();
    return suppressed && type != QEvent::ShortcutOverride && key->key() == Qt::Key_Space;
}

}  // namespace vrn::gui
