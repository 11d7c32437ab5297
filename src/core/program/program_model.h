#pragma once

#include "core/program/program_store.h"
#include "core/program/program_tree.h"

namespace vrn {

// The one user program of the window: the store of slots and the tree of node texts that shows
// it. The k-th top-level node is slot k; a parameter node's position is its parameter index.
struct ProgramModel {
    ProgramModel() { tree.append({}, "PGM END"); }

    ProgramStore store;
    ProgramTree tree;
};

}  // namespace vrn
