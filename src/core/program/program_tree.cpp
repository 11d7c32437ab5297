#include "core/program/program_tree.h"

#include <algorithm>
#include <stdexcept>

namespace vrn {

const ProgramNode* ProgramTree::find(const NodePath& path) const {
    if (path.empty()) return nullptr;
    const std::vector<ProgramNode>* level = &top_;
    const ProgramNode* node = nullptr;
    for (size_t index : path) {
        if (index >= level->size()) return nullptr;
        node = &(*level)[index];
        level = &node->children;
    }
    return node;
}

std::vector<ProgramNode>& ProgramTree::siblingsOf(const NodePath& path) {
    if (path.empty()) throw std::out_of_range("program tree path");
    if (path.size() == 1) return top_;
    return nodeAt(NodePath(path.begin(), path.end() - 1)).children;
}

ProgramNode& ProgramTree::nodeAt(const NodePath& path) {
    std::vector<ProgramNode>& siblings = siblingsOf(path);
    if (path.back() >= siblings.size()) throw std::out_of_range("program tree path");
    return siblings[path.back()];
}

void ProgramTree::insert(const NodePath& path, std::string text) {
    std::vector<ProgramNode>& siblings = siblingsOf(path);
    const size_t index = path.back();
    if (index > siblings.size()) throw std::out_of_range("program tree path");
    siblings.insert(siblings.begin() + static_cast<std::ptrdiff_t>(index), ProgramNode{std::move(text), {}});
    const size_t depth = path.size() - 1;
    if (selected_ && selected_->size() > depth &&
        std::equal(path.begin(), path.end() - 1, selected_->begin()) && (*selected_)[depth] >= index)
        ++(*selected_)[depth];
    if (observer_) observer_->nodeInserted(path);
}

NodePath ProgramTree::append(const NodePath& parent, std::string text) {
    NodePath path = parent;
    path.push_back(parent.empty() ? top_.size() : nodeAt(parent).children.size());
    insert(path, std::move(text));
    return path;
}

void ProgramTree::remove(const NodePath& path) {
    std::vector<ProgramNode>& siblings = siblingsOf(path);
    const size_t index = path.back();
    if (index >= siblings.size()) throw std::out_of_range("program tree path");
    siblings.erase(siblings.begin() + static_cast<std::ptrdiff_t>(index));
    const size_t depth = path.size() - 1;
    bool dropped = false;
    if (selected_ && selected_->size() > depth &&
        std::equal(path.begin(), path.end() - 1, selected_->begin())) {
        if ((*selected_)[depth] == index) {
            selected_.reset();
            dropped = true;
        } else if ((*selected_)[depth] > index) {
            --(*selected_)[depth];
        }
    }
    if (observer_) {
        observer_->nodeRemoved(path);
        if (dropped) observer_->selectionChanged(selected_);
    }
}

void ProgramTree::setText(const NodePath& path, std::string text) {
    nodeAt(path).text = std::move(text);
    if (observer_) observer_->nodeTextChanged(path);
}

void ProgramTree::clear() {
    top_.clear();
    const bool hadSelection = selected_.has_value();
    selected_.reset();
    if (observer_) {
        observer_->treeCleared();
        if (hadSelection) observer_->selectionChanged(selected_);
    }
}

void ProgramTree::select(std::optional<NodePath> path) {
    if (path && find(*path) == nullptr) throw std::out_of_range("program tree path");
    selected_ = std::move(path);
    if (observer_) observer_->selectionChanged(selected_);
}

namespace {

void visitAll(const std::vector<ProgramNode>& nodes, size_t depth,
              const std::function<void(size_t, const std::string&)>& visit) {
    for (const ProgramNode& node : nodes) {
        visit(depth, node.text);
        visitAll(node.children, depth + 1, visit);
    }
}

}  // namespace

void ProgramTree::forEach(const std::function<void(size_t depth, const std::string& text)>& visit) const {
    visitAll(top_, 0, visit);
}

}  // namespace vrn
