#include <cstdio>
#include <vector>

#include "core/check/check_context.h"
#include "core/program/program_outline.h"

namespace vrn::check {
namespace {

std::string position(size_t slot) {
    char text[16];
    std::snprintf(text, sizeof text, "%03zu", slot + 1);
    return text;
}

struct OpenIf {
    size_t slot;
    std::optional<size_t> elseSlot;
};

}  // namespace

// The instrument runs its program from slot 0 to PGM END; what it does with an unknown
// instruction number or an unbalanced IF is not something a program may rely on.
void checkStructure(CheckContext& c) {
    std::vector<OpenIf> open;
    for (size_t k = 0; k < c.length(); ++k) {
        const uint16_t n = c.number(k);
        if (c.desc(k) == nullptr) {
            c.add(k, std::nullopt, Severity::Error,
                  "instruction number " + std::to_string(n) + " is not one the 41700 knows");
        } else if (isIfInstruction(n)) {
            open.push_back({k, std::nullopt});
        } else if (n == kElseNumber) {
            if (open.empty()) {
                c.add(k, std::nullopt, Severity::Error, "ELSE outside any IF");
            } else if (open.back().elseSlot) {
                c.add(k, std::nullopt, Severity::Error,
                      "second ELSE of the IF at " + position(open.back().slot) + " (the first is at " +
                          position(*open.back().elseSlot) + ")");
            } else {
                open.back().elseSlot = k;
            }
        } else if (n == kEndIfNumber) {
            if (open.empty())
                c.add(k, std::nullopt, Severity::Error, "END IF outside any IF");
            else
                open.pop_back();
        }
    }
    for (const OpenIf& o : open)
        c.add(o.slot, std::nullopt, Severity::Error, "no END IF closes this IF before PGM END");
    if (!c.hasPgmEnd())
        c.add(ProgramStore::kSlotCount - 1, std::nullopt, Severity::Error,
              "the program has no PGM END in its 512 slots");
}

}  // namespace vrn::check
