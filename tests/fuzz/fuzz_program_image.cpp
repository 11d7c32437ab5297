// A program image as it comes from a program file or the instrument: any bytes in any slot. Every
// slot is shown the way the editor shows it (instruction, parameter nodes, text area), which must
// never read outside the store whatever the instruction numbers, values and texts say.
#include <algorithm>

#include "core/program/catalogue.h"
#include "core/program/node_text.h"
#include "core/program/program_store.h"
#include "core/text/cp1252.h"
#include "core/text/utf8.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vrn::ProgramStore store;
    const auto image = store.image();
    std::copy_n(data, std::min(size, image.size()), image.begin());

    for (size_t slot = 0; slot < vrn::ProgramStore::kSlotCount; ++slot) {
        const std::string area = store.textArea(slot);
        vrn::fuzz::require(area.size() <= vrn::ProgramStore::kTextAreaSize, "text area within its field");
        vrn::fuzz::require(vrn::text::utf8Length(vrn::textAreaToDisplay(area)) == area.size(),
                           "each stored byte is one character on the screen");

        const vrn::InstrDesc* desc = vrn::instruction(store.instruction(slot));
        if (desc == nullptr) continue;
        for (size_t p = 0; p < std::min<size_t>(desc->paramCount, vrn::kMaxParams); ++p) {
            const std::string node = vrn::renderedParamNode(store, slot, p, desc->params[p]);
            vrn::fuzz::require(node.starts_with(desc->params[p].name),
                               "a parameter node starts with its name");
            vrn::fuzz::require(store.textField(slot, p).size() <= vrn::ProgramStore::kTextFieldSize,
                               "text within its field");
        }
    }
    return 0;
}
