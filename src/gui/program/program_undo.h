#pragma once

#include <QUndoCommand>
#include <functional>
#include <optional>
#include <vector>

#include "core/program/program_model.h"

namespace vrn::gui {

// The user program as an edit found or left it: the store's bytes, the tree and its selection.
struct ProgramSnapshot {
    ProgramStore store;
    std::vector<ProgramNode> nodes;
    std::optional<NodePath> selected;

    static ProgramSnapshot of(const ProgramModel& program);
    // The same store bytes and the same tree (the selection aside).
    bool sameProgram(const ProgramSnapshot& other) const;
};

// Brings the program back to the snapshot byte for byte. The tree changes only where it differs,
// so the view keeps the other instructions as they were (expanded or not).
void restoreProgram(ProgramModel& program, const ProgramSnapshot& snapshot);

// One edit of the program editor, undone and redone by restoring what it found and what it left.
// Pushed after the edit ran, so the first redo has nothing to do.
class ProgramEditCommand final : public QUndoCommand {
public:
    ProgramEditCommand(const QString& text, ProgramModel& program, ProgramSnapshot before,
                       ProgramSnapshot after, std::function<void()> restored);

    void undo() override;
    void redo() override;

private:
    void apply(const ProgramSnapshot& snapshot);

    ProgramModel& program_;
    ProgramSnapshot before_;
    ProgramSnapshot after_;
    std::function<void()> restored_;
    bool done_ = true;
};

}  // namespace vrn::gui
