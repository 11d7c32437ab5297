#pragma once

#include <QObject>
#include <QUndoStack>
#include <functional>
#include <vector>

#include "core/screens/screen_drawing.h"
#include "core/screens/screen_editor.h"
#include "core/screens/screen_store.h"
#include "core/screens/screen_transfer.h"
#include "gui/app/pages.h"

class QAction;
class QKeyEvent;
class QMenu;

namespace vrn {
class Exchange;
}

namespace vrn::gui {

class ChangeTracker;
class MainMenu;
class ScreensPage;

// The Screens inside the main window: the window's screen store on its page in TabSheetScreen,
// with the editor and its undo steps, the Get/Send Screens menu items, and the
// keyboard routing of the editor (acting only while editing with the page shown).
class ScreensSection final : public QObject {
    Q_OBJECT
public:
    // Keys reach the editor within window. Edits count as changes of the Screens in changes, which
    // asks before Clear Screen or a Get replaces changed ones.
    ScreensSection(QWidget& window, const PageTab& page, Exchange& exchange, screens::ScreenStore& store,
                   ChangeTracker& changes, MainMenu& menu);

    screens::ScreenStore& store();
    screens::ScreenEditor& editor() { return *editor_; }
    screens::ScreenTransfer& transfer() { return *transfer_; }
    ScreensPage& page() { return *page_; }
    // Typing, erasing and Clear Screen, each one step.
    QUndoStack& undoStack() { return undo_; }

    // Older steps than these are forgotten.
    static constexpr int kUndoLimit = 1000;

    // A space pressed on control is kept from it: it is meant for the screen (the page's own
    // controls are kept from it anyway).
    void suppressSpaceOn(QObject* control);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool routesKeys(QObject* receiver) const;
    bool routeKey(QKeyEvent* key, bool shortcutOverride);
    // The page's controls act on the editor.
    void connectPage();
    void refresh();
    void setCommandsEnabled(bool on);
    // Runs an editor operation; one that changed the store becomes an undo step named text.
    bool recordEdit(const char* text, const std::function<bool()>& operation);

    QWidget& window_;
    PageTab tab_;
    Exchange& exchange_;
    screens::ScreenStore& store_;
    ChangeTracker& changes_;
    QMenu* commands_;
    ScreensPage* page_ = nullptr;
    std::unique_ptr<screens::ScreenDisplay> display_;
    std::unique_ptr<screens::ScreenEditor> editor_;
    std::unique_ptr<screens::ScreenTransfer> transfer_;
    std::vector<QAction*> disabledCommands_;
    std::vector<QObject*> spaceSuppressed_;
    QUndoStack undo_;
};

}  // namespace vrn::gui
