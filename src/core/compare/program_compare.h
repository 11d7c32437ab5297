#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vrn {
class ProgramStore;
class ProgramTree;
}  // namespace vrn

namespace vrn::compare {

// A program tree as `listing` prints it: one node a line, a tab per level.
std::vector<std::string> treeListing(const ProgramTree& tree);

// The listing of the program a store holds as the instrument would list it after receiving it:
// the store goes through the transfer image and is read back, so a file's tree text, which may
// disagree with its store, plays no part. Nothing when the store holds an instruction the
// catalogue does not know, with the line saying where in `problem`.
std::optional<std::vector<std::string>> sentProgramListing(const ProgramStore& store, std::string& problem);

}  // namespace vrn::compare
