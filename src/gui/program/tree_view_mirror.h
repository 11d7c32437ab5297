#pragma once

#include <optional>

#include "core/program/program_tree.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace vrn::gui {

// Keeps a QTreeWidget node for node in step with the program tree, selection included. While
// it applies a change, applying() is true so the view's own signals can be told apart.
class TreeViewMirror : public TreeObserver {
public:
    TreeViewMirror(ProgramTree& tree, QTreeWidget& view);
    ~TreeViewMirror() override;
    TreeViewMirror(const TreeViewMirror&) = delete;
    TreeViewMirror& operator=(const TreeViewMirror&) = delete;

    void nodeInserted(const NodePath& path) override;
    void nodeRemoved(const NodePath& path) override;
    void nodeTextChanged(const NodePath& path) override;
    void treeCleared() override;
    void selectionChanged(const std::optional<NodePath>& path) override;

    bool applying() const { return applying_; }

    QTreeWidgetItem* itemAt(const NodePath& path) const;
    static NodePath pathOf(QTreeWidgetItem* item);

private:
    void rebuild();

    ProgramTree& tree_;
    QTreeWidget& view_;
    bool applying_ = false;
};

}  // namespace vrn::gui
