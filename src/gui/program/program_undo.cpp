#include "gui/program/program_undo.h"

#include <algorithm>

namespace vrn::gui {
namespace {

bool sameShape(const ProgramNode& a, const ProgramNode& b) {
    if (a.children.size() != b.children.size()) return false;
    for (size_t i = 0; i < a.children.size(); ++i)
        if (!sameShape(a.children[i], b.children[i])) return false;
    return true;
}

void appendChildren(ProgramTree& tree, const NodePath& path, const ProgramNode& node) {
    for (const ProgramNode& child : node.children)
        appendChildren(tree, tree.append(path, child.text), child);
}

// Rewrites the texts of a node of the same shape.
void retext(ProgramTree& tree, NodePath& path, const ProgramNode& now, const ProgramNode& wanted) {
    if (now.text != wanted.text) tree.setText(path, wanted.text);
    for (size_t i = 0; i < wanted.children.size(); ++i) {
        path.push_back(i);
        retext(tree, path, now.children[i], wanted.children[i]);
        path.pop_back();
    }
}

}  // namespace

ProgramSnapshot ProgramSnapshot::of(const ProgramModel& program) {
    return {program.store, program.tree.topLevel(), program.tree.selected()};
}

bool ProgramSnapshot::sameProgram(const ProgramSnapshot& other) const {
    return std::ranges::equal(store.image(), other.store.image()) && nodes == other.nodes;
}

void restoreProgram(ProgramModel& program, const ProgramSnapshot& snapshot) {
    program.store = snapshot.store;
    ProgramTree& tree = program.tree;
    const std::vector<ProgramNode>& wanted = snapshot.nodes;
    // The instructions both ends share stay; only the run between them is replaced.
    const std::vector<ProgramNode> now = tree.topLevel();
    size_t head = 0;
    while (head < now.size() && head < wanted.size() && now[head] == wanted[head])
        ++head;
    size_t tail = 0;
    while (tail < now.size() - head && tail < wanted.size() - head &&
           now[now.size() - 1 - tail] == wanted[wanted.size() - 1 - tail])
        ++tail;
    const size_t nowEnd = now.size() - tail;
    const size_t wantedEnd = wanted.size() - tail;
    bool sameShapes = nowEnd - head == wantedEnd - head;
    for (size_t i = head; sameShapes && i < nowEnd; ++i)
        sameShapes = sameShape(now[i], wanted[i]);
    if (sameShapes) {
        // A parameter edit: the nodes stay and only their texts change.
        for (size_t i = head; i < nowEnd; ++i) {
            NodePath path{i};
            retext(tree, path, now[i], wanted[i]);
        }
    } else {
        for (size_t i = nowEnd; i > head; --i)
            tree.remove({i - 1});
        for (size_t i = head; i < wantedEnd; ++i) {
            tree.insert({i}, wanted[i].text);
            appendChildren(tree, {i}, wanted[i]);
        }
    }
    const bool selectable = snapshot.selected && tree.find(*snapshot.selected) != nullptr;
    tree.select(selectable ? snapshot.selected : std::nullopt);
}

ProgramEditCommand::ProgramEditCommand(const QString& text, ProgramModel& program, ProgramSnapshot before,
                                       ProgramSnapshot after, std::function<void()> restored)
    : QUndoCommand(text),
      program_(program),
      before_(std::move(before)),
      after_(std::move(after)),
      restored_(std::move(restored)) {}

void ProgramEditCommand::undo() {
    apply(before_);
    done_ = false;
}

void ProgramEditCommand::redo() {
    if (done_) return;
    apply(after_);
    done_ = true;
}

void ProgramEditCommand::apply(const ProgramSnapshot& snapshot) {
    restoreProgram(program_, snapshot);
    if (restored_) restored_();
}

}  // namespace vrn::gui
