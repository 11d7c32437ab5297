#include "core/compare/program_compare.h"

#include "core/program/program_model.h"
#include "core/program/transfer_image.h"

namespace vrn::compare {

std::vector<std::string> treeListing(const ProgramTree& tree) {
    std::vector<std::string> lines;
    tree.forEach([&lines](size_t depth, const std::string& text) {
        lines.push_back(std::string(depth, '\t') + text);
    });
    return lines;
}

std::optional<std::vector<std::string>> sentProgramListing(const ProgramStore& store, std::string& problem) {
    ProgramModel program;
    const DecodeResult decoded = decodeTransferImage(buildTransferImage(store), program);
    if (decoded.failed) {
        problem = decoded.lines.empty() ? std::string("the program cannot be read") : decoded.lines.back();
        return std::nullopt;
    }
    return treeListing(program.tree);
}

}  // namespace vrn::compare
