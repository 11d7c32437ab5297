#pragma once

#include <QUndoCommand>
#include <array>
#include <cstdint>

#include "core/screens/screen_store.h"

namespace vrn::screens {
class ScreenEditor;
}

namespace vrn::gui {

// The screens as an edit found or left them: the store's bytes, the screen shown and the cursor.
struct ScreenSnapshot {
    std::array<uint8_t, screens::kStoreBytes> bytes{};
    int screen = 0;
    int row = 0;
    int column = 0;

    static ScreenSnapshot of(const screens::ScreenEditor& editor);
};

// Puts the snapshot's bytes back into the store and shows its screen with its cursor.
void restoreScreens(screens::ScreenEditor& editor, const ScreenSnapshot& snapshot);

// One edit of the screen editor, undone and redone by restoring what it found and what it left.
// Pushed after the edit ran, so the first redo has nothing to do.
class ScreenEditCommand final : public QUndoCommand {
public:
    ScreenEditCommand(const QString& text, screens::ScreenEditor& editor, const ScreenSnapshot& before,
                      const ScreenSnapshot& after);

    void undo() override;
    void redo() override;

private:
    screens::ScreenEditor& editor_;
    ScreenSnapshot before_;
    ScreenSnapshot after_;
    bool done_ = true;
};

}  // namespace vrn::gui
