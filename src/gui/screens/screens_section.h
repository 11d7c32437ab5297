#pragma once

#include <QObject>
#include <QUndoStack>
#include <functional>
#include <vector>

#include "core/screens/screen_drawing.h"
#include "core/screens/screen_editor.h"
#include "core/screens/screen_store.h"
#include "core/screens/screen_transfer.h"
#include "gui/app/section_context.h"

class QAction;
class QKeyEvent;

namespace vrn::gui {

class ScreensPage;

// The Screens inside the main window: the window's screen store on its page in TabSheetScreen,
// with the editor and its undo steps, the Get/Send Screens menu items, and the
// keyboard routing of the editor (acting only while editing with the page shown).
class ScreensSection final : public QObject {
    Q_OBJECT
public:
    explicit ScreensSection(const SectionContext& context);

    screens::ScreenStore& store();
    screens::ScreenEditor& editor() { return *editor_; }
    screens::ScreenTransfer& transfer() { return *transfer_; }
    ScreensPage& page() { return *page_; }
    // Typing, erasing and Clear Screen, each one step.
    QUndoStack& undoStack() { return undo_; }

    // Older steps than these are forgotten.
    static constexpr int kUndoLimit = 1000;

    // Asked before Clear Screen; false keeps the screen as it is.
    std::function<bool()> mayClearScreen;
    // Runs after every change the page shows (the store's included).
    std::function<void()> changed;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool routesKeys(QObject* receiver) const;
    bool routeKey(QKeyEvent* key, bool shortcutOverride);
    void refresh();
    void setCommandsEnabled(bool on);
    void showScreensPage();
    // Runs an editor operation; one that changed the store becomes an undo step named text.
    bool recordEdit(const char* text, const std::function<bool()>& operation);

    SectionContext ctx_;
    ScreensPage* page_ = nullptr;
    std::unique_ptr<screens::ScreenDisplay> display_;
    std::unique_ptr<screens::ScreenEditor> editor_;
    std::unique_ptr<screens::ScreenTransfer> transfer_;
    std::vector<QAction*> disabledCommands_;
    std::vector<QObject*> spaceSuppressed_;
    QUndoStack undo_;
};

}  // namespace vrn::gui
