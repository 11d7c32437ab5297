#include "core/program/program_outline.h"

#include "core/program/catalogue.h"

namespace vrn {

std::optional<uint16_t> instructionNumberOf(std::string_view name) {
    for (uint32_t n = 0; n < kInstructionCount; ++n)
        if (instruction(n)->name == name) return static_cast<uint16_t>(n);
    return std::nullopt;
}

std::vector<size_t> outlineLevels(std::span<const uint16_t> numbers) {
    std::vector<size_t> levels;
    levels.reserve(numbers.size());
    size_t open = 0;
    for (const uint16_t n : numbers) {
        if (n == kElseNumber) {
            levels.push_back(open > 0 ? open - 1 : 0);
        } else if (n == kEndIfNumber) {
            if (open > 0) --open;
            levels.push_back(open);
        } else {
            levels.push_back(open);
            if (isIfInstruction(n)) ++open;
        }
    }
    return levels;
}

}  // namespace vrn
