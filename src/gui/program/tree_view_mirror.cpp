#include "gui/program/tree_view_mirror.h"

#include <QTreeWidget>
#include <algorithm>

namespace vrn::gui {

namespace {

class Applying {
public:
    explicit Applying(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
    ~Applying() { flag_ = was_; }
    Applying(const Applying&) = delete;
    Applying& operator=(const Applying&) = delete;

private:
    bool& flag_;
    bool was_;
};

void addChildren(QTreeWidgetItem* parent, const ProgramNode& node) {
    for (const ProgramNode& child : node.children) {
        auto* item = new QTreeWidgetItem(parent, QStringList{QString::fromStdString(child.text)});
        addChildren(item, child);
    }
}

}  // namespace

TreeViewMirror::TreeViewMirror(ProgramTree& tree, QTreeWidget& view) : tree_(tree), view_(view) {
    tree_.setObserver(this);
    rebuild();
}

TreeViewMirror::~TreeViewMirror() {
    tree_.setObserver(nullptr);
}

void TreeViewMirror::rebuild() {
    Applying guard(applying_);
    view_.clear();
    view_.setCurrentItem(nullptr);
    for (const ProgramNode& node : tree_.topLevel()) {
        auto* item = new QTreeWidgetItem(QStringList{QString::fromStdString(node.text)});
        view_.addTopLevelItem(item);
        addChildren(item, node);
    }
    selectionChanged(tree_.selected());
}

QTreeWidgetItem* TreeViewMirror::itemAt(const NodePath& path) const {
    if (path.empty() || path[0] >= static_cast<size_t>(view_.topLevelItemCount())) return nullptr;
    QTreeWidgetItem* item = view_.topLevelItem(static_cast<int>(path[0]));
    for (size_t i = 1; i < path.size() && item != nullptr; ++i)
        item = path[i] < static_cast<size_t>(item->childCount()) ? item->child(static_cast<int>(path[i]))
                                                                 : nullptr;
    return item;
}

NodePath TreeViewMirror::pathOf(QTreeWidgetItem* item) {
    NodePath path;
    while (item != nullptr) {
        QTreeWidgetItem* parent = item->parent();
        const int index =
            parent != nullptr ? parent->indexOfChild(item) : item->treeWidget()->indexOfTopLevelItem(item);
        path.push_back(static_cast<size_t>(index));
        item = parent;
    }
    std::reverse(path.begin(), path.end());
    return path;
}

void TreeViewMirror::nodeInserted(const NodePath& path) {
    Applying guard(applying_);
    const ProgramNode* node = tree_.find(path);
    auto* item = new QTreeWidgetItem(QStringList{QString::fromStdString(node->text)});
    addChildren(item, *node);
    const int index = static_cast<int>(path.back());
    if (path.size() == 1)
        view_.insertTopLevelItem(index, item);
    else
        itemAt(NodePath(path.begin(), path.end() - 1))->insertChild(index, item);
}

void TreeViewMirror::nodeRemoved(const NodePath& path) {
    Applying guard(applying_);
    delete itemAt(path);
}

void TreeViewMirror::nodeTextChanged(const NodePath& path) {
    Applying guard(applying_);
    itemAt(path)->setText(0, QString::fromStdString(tree_.find(path)->text));
}

void TreeViewMirror::treeCleared() {
    Applying guard(applying_);
    view_.clear();
    // A cleared view forgets that its current item was set; focused later, it would make its
    // first node current, and the program would have a selection the user never made.
    view_.setCurrentItem(nullptr);
}

void TreeViewMirror::selectionChanged(const std::optional<NodePath>& path) {
    Applying guard(applying_);
    QTreeWidgetItem* item = path ? itemAt(*path) : nullptr;
    view_.setCurrentItem(item);
    if (item == nullptr) view_.clearSelection();
}

}  // namespace vrn::gui
