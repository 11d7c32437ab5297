// A transfer image as the instrument sends it: any bytes in the slots and the order table. A
// decoding either leaves the program as it was or gives one that ends in PGM END, and the program
// it gives, sent and received again, shows the same tree.
#include <algorithm>
#include <string>
#include <vector>

#include "core/program/transfer_image.h"
#include "fuzz_input.h"

namespace {

std::vector<std::string> texts(const vrn::ProgramTree& tree) {
    std::vector<std::string> out;
    tree.forEach(
        [&out](size_t depth, const std::string& text) { out.push_back(std::to_string(depth) + text); });
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Short inputs are padded with FF, the bytes of unused slots and entries.
    std::vector<uint8_t> image(data, data + std::min(size, vrn::kTransferImageSize));
    image.resize(vrn::kTransferImageSize, 0xFF);

    vrn::ProgramModel program;
    const vrn::ProgramModel untouched;
    const vrn::DecodeResult result = vrn::decodeTransferImage(image, program);
    if (result.failed) {
        vrn::fuzz::require(!result.lines.empty(), "a failed decoding says why");
        vrn::fuzz::require(texts(program.tree) == texts(untouched.tree), "a failed decoding leaves the tree");
        vrn::fuzz::require(std::ranges::equal(program.store.image(), untouched.store.image()),
                           "a failed decoding leaves the store");
        return 0;
    }
    const auto& top = program.tree.topLevel();
    vrn::fuzz::require(!top.empty() && top.size() <= vrn::ProgramStore::kSlotCount,
                       "at most 512 instructions");
    vrn::fuzz::require(top.back().text == "PGM END", "a decoded program ends in PGM END");

    vrn::ProgramModel again;
    vrn::fuzz::require(!vrn::decodeTransferImage(vrn::buildTransferImage(program.store), again).failed,
                       "a decoded program can be sent");
    vrn::fuzz::require(texts(again.tree) == texts(program.tree),
                       "sent and received again, the tree is the same");
    return 0;
}
