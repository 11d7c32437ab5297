#include "core/check/program_check.h"

#include <algorithm>
#include <cstdio>

#include "core/check/check_context.h"

namespace vrn::check {

CheckContext::CheckContext(const ProgramStore& store, std::vector<Finding>& out) : store_(store), out_(out) {
    while (length_ < ProgramStore::kSlotCount && store.instruction(length_) != 0)
        ++length_;
    hasPgmEnd_ = length_ < ProgramStore::kSlotCount;
}

std::optional<size_t> CheckContext::param(size_t slot, std::string_view name) const {
    const InstrDesc* d = desc(slot);
    if (d == nullptr) return std::nullopt;
    for (size_t j = 0; j < d->paramCount && j < kMaxParams; ++j)
        if (d->params[j].name == name) return j;
    return std::nullopt;
}

void CheckContext::add(size_t slot, std::optional<size_t> param, Severity severity, std::string message) {
    Finding f;
    f.slot = slot;
    f.instruction = store_.instruction(slot);
    const InstrDesc* d = desc(slot);
    if (d != nullptr) {
        f.instructionName = d->name;
    } else {
        char number[8];
        std::snprintf(number, sizeof number, "#%u", static_cast<unsigned>(f.instruction));
        f.instructionName = number;
    }
    if (param && d != nullptr && *param < d->paramCount) {
        f.parameter = param;
        f.parameterName = std::string(d->params[*param].name);
    }
    f.severity = severity;
    f.message = std::move(message);
    out_.push_back(std::move(f));
}

CheckResult checkProgram(const ProgramStore& store, const setup::SetupModel* setup) {
    CheckResult result;
    CheckContext c(store, result.findings);
    checkStructure(c);
    checkScreens(c);
    checkLocations(c);
    checkValues(c);
    if (setup != nullptr) checkRecordFormat(c, *setup);
    std::stable_sort(result.findings.begin(), result.findings.end(),
                     [](const Finding& a, const Finding& b) { return a.slot < b.slot; });
    return result;
}

}  // namespace vrn::check
