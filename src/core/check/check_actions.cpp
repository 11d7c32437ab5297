#include "core/check/check_actions.h"

#include "core/check/program_check.h"
#include "core/link/host.h"
#include "core/program/program_store.h"

namespace vrn::check {

CheckResult CheckUserProgram(Host& host, const ProgramStore& store, const setup::SetupModel* setup) {
    host.appendLine("CHECK USER PROGRAM...");
    CheckResult result = checkProgram(store, setup);
    for (const Finding& f : result.findings)
        host.appendLine(findingLine(f));
    host.appendLine("FINISHED CHECKING USER PROGRAM: " + countsText(result) + ".");
    return result;
}

bool confirmSendDespiteErrors(Host& host, const ProgramStore& store, const setup::SetupModel* setup) {
    const CheckResult result = checkProgram(store, setup);
    const size_t errors = result.errors();
    if (errors == 0) return true;
    // Advice lines: a terminal shows them with its warnings, where a refusal is read.
    for (const Finding& f : result.findings)
        host.appendAdvice(findingLine(f));
    return confirm(host, "The check found " + counted(errors, "error", "errors") +
                             " in the user program.\nSend it to the 41700 anyway?");
}

NodePath findingPath(const Finding& finding) {
    if (finding.parameter) return {finding.slot, *finding.parameter};
    return {finding.slot};
}

void FindingCursor::reset(CheckResult result) {
    result_ = std::move(result);
    next_ = 0;
    shown_.reset();
}

std::optional<FindingCursor::Step> FindingCursor::next(const ProgramTree& tree) {
    const size_t count = result_.findings.size();
    for (size_t tried = 0; tried < count; ++tried) {
        const size_t index = next_;
        const Finding& f = result_.findings[index];
        next_ = (next_ + 1) % count;
        NodePath path = findingPath(f);
        if (tree.find(path) == nullptr) path.resize(1);
        if (tree.find(path) == nullptr) continue;
        const bool wrapped = shown_ && index <= *shown_;
        shown_ = index;
        return Step{&f, std::move(path), index + 1, count, wrapped};
    }
    return std::nullopt;
}

std::string stepLine(const FindingCursor::Step& step) {
    return "FINDING " + std::to_string(step.number) + " OF " + std::to_string(step.count) +
           (step.wrapped ? ", FROM THE FIRST AGAIN: " : ": ") + findingLine(*step.finding);
}

}  // namespace vrn::check
