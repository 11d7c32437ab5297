#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vrn {

// A node of the program tree: its text (UTF-8) and its children. The editor builds two levels
// (instructions and their parameters); a program file may make the tree deeper.
struct ProgramNode {
    std::string text;
    std::vector<ProgramNode> children;

    bool operator==(const ProgramNode&) const = default;
};

// Where a node is: its index among the top-level nodes, then among each level's children.
using NodePath = std::vector<size_t>;

// Told of every change, so a view can mirror the tree node by node.
class TreeObserver {
public:
    virtual ~TreeObserver() = default;
    virtual void nodeInserted(const NodePath& path) = 0;
    virtual void nodeRemoved(const NodePath& path) = 0;
    virtual void nodeTextChanged(const NodePath& path) = 0;
    virtual void treeCleared() = 0;
    virtual void selectionChanged(const std::optional<NodePath>& path) = 0;
};

// The program tree with its selection. Paths given to it must name existing nodes (or, for an
// insertion, a position from 0 to the sibling count); otherwise std::out_of_range is thrown.
class ProgramTree {
public:
    const std::vector<ProgramNode>& topLevel() const { return top_; }
    size_t topCount() const { return top_.size(); }
    bool empty() const { return top_.empty(); }

    // Null when the path names no node.
    const ProgramNode* find(const NodePath& path) const;

    // Inserts a node at path (its parent's path and its position there); a selection at or
    // after that position moves along with its node.
    void insert(const NodePath& path, std::string text);
    // Adds a last child of parent (an empty parent path adds a top-level node); returns its path.
    NodePath append(const NodePath& parent, std::string text);
    // Removes a node and its children; a selection inside it is dropped.
    void remove(const NodePath& path);
    void setText(const NodePath& path, std::string text);
    void clear();

    const std::optional<NodePath>& selected() const { return selected_; }
    // The caller keeps the path valid: nothing or an existing node.
    void select(std::optional<NodePath> path);

    // Every node in display order (depth first), with its depth (0 for a top-level node).
    void forEach(const std::function<void(size_t depth, const std::string& text)>& visit) const;

    void setObserver(TreeObserver* observer) { observer_ = observer; }

private:
    std::vector<ProgramNode>& siblingsOf(const NodePath& path);
    ProgramNode& nodeAt(const NodePath& path);

    std::vector<ProgramNode> top_;
    std::optional<NodePath> selected_;
    TreeObserver* observer_ = nullptr;
};

// True for a node below the top level (a parameter, or deeper in a tree read from a file).
inline bool isParameterNode(const NodePath& path) {
    return path.size() > 1;
}

}  // namespace vrn
