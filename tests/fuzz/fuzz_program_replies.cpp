// Get and Send User Program against an instrument whose every reply is fuzz bytes: block packets,
// end packets, ACK and NAK. Whatever arrives, each ends; a failed Get leaves the program store and
// tree as they were, and one that got through gives a program ending in PGM END.
#include <algorithm>
#include <string>
#include <vector>

#include "core/program/program_model.h"
#include "core/program/program_transfer.h"
#include "fuzz_input.h"
#include "fuzz_link.h"

namespace {

std::vector<std::string> texts(const vrn::ProgramTree& tree) {
    std::vector<std::string> out;
    tree.forEach(
        [&out](size_t depth, const std::string& text) { out.push_back(std::to_string(depth) + text); });
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using vrn::fuzz::require;
    vrn::fuzz::Input input(data, size);
    const bool send = input.byte() & 1;
    vrn::fuzz::ReplayLink link(input.rest());
    vrn::ProgramModel program;
    program.tree.append({}, "LEFT OVER");
    program.store.setShortValue(2, 0, 0x4321);
    const std::vector<uint8_t> image(program.store.image().begin(), program.store.image().end());
    const auto tree = texts(program.tree);
    vrn::program::ProgramTransfer transfer(link.exchange, program);
    if (send) {
        const bool failed = !transfer.SendUserProgram().ok();
        require(failed == (link.host.lastLine == "SEND USER PROGRAM FAILED."),
                "the Send's last line says how it went");
        require(std::equal(image.begin(), image.end(), program.store.image().begin()) &&
                    texts(program.tree) == tree,
                "a Send leaves the program");
        return 0;
    }
    if (!transfer.GetUserProgram().ok()) {
        require(std::equal(image.begin(), image.end(), program.store.image().begin()) &&
                    texts(program.tree) == tree,
                "a failed Get leaves the program");
    } else {
        require(link.host.lastLine == "FINISHED GETTING USER PROGRAM.", "a Get that got through says so");
        require(program.tree.topCount() > 0 && program.tree.topLevel().back().text == "PGM END",
                "a program got ends in PGM END");
    }
    return 0;
}
