#include "gui/screens/screen_undo.h"

#include <algorithm>

#include "core/screens/screen_drawing.h"
#include "core/screens/screen_editor.h"

namespace vrn::gui {

ScreenSnapshot ScreenSnapshot::of(const screens::ScreenEditor& editor) {
    ScreenSnapshot snapshot;
    std::ranges::copy(editor.store().bytes(), snapshot.bytes.begin());
    snapshot.screen = editor.store().current();
    snapshot.row = editor.row();
    snapshot.column = editor.column();
    return snapshot;
}

void restoreScreens(screens::ScreenEditor& editor, const ScreenSnapshot& snapshot) {
    editor.display().store().load(snapshot.bytes);
    editor.showAt(snapshot.screen, snapshot.row, snapshot.column);
}

ScreenEditCommand::ScreenEditCommand(const QString& text, screens::ScreenEditor& editor,
                                     const ScreenSnapshot& before, const ScreenSnapshot& after)
    : QUndoCommand(text), editor_(editor), before_(before), after_(after) {}

void ScreenEditCommand::undo() {
    restoreScreens(editor_, before_);
    done_ = false;
}

void ScreenEditCommand::redo() {
    if (done_) return;
    restoreScreens(editor_, after_);
    done_ = true;
}

}  // namespace vrn::gui
