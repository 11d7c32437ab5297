#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "core/check/finding.h"
#include "core/program/program_tree.h"

namespace vrn {
class Host;
class ProgramStore;
struct ProgramModel;
}  // namespace vrn
namespace vrn::setup {
class SetupModel;
}

namespace vrn::check {

// Commands, Check User Program: checks the program (against the Setup's record format when one
// is given) and lists the findings in the message area between "CHECK USER PROGRAM..." and
// "FINISHED CHECKING USER PROGRAM: n ERRORS, m WARNINGS.".
CheckResult CheckUserProgram(Host& host, const ProgramStore& store, const setup::SetupModel* setup);

// Before a send: a program with errors has its findings listed and the user is asked whether to
// send it all the same. True when the send may go on: no errors, or the answer Yes.
bool confirmSendDespiteErrors(Host& host, const ProgramStore& store, const setup::SetupModel* setup);

// The tree node a finding is about: its parameter's node, or the instruction's when it names none.
NodePath findingPath(const Finding& finding);

// Steps through the findings of the last check in the program tree: each step names the next
// finding and its node, after the last the first again. A parameter node the tree no longer has
// (the program was edited since) gives its instruction's node; an instruction it no longer has is
// passed over.
class FindingCursor {
public:
    struct Step {
        const Finding* finding;
        NodePath path;
        size_t number = 1;     // of the finding, from 1
        size_t count = 1;      // findings in all
        bool wrapped = false;  // round to the first again after the last
    };

    void reset(CheckResult result);
    bool empty() const { return result_.findings.empty(); }
    // Nothing when no finding has a node in the tree.
    std::optional<Step> next(const ProgramTree& tree);

private:
    CheckResult result_;
    size_t next_ = 0;
    std::optional<size_t> shown_;  // the finding the last step named
};

// The message-area line of a step: "FINDING 2 OF 4: " and the finding's line; a step round to the
// first again says so.
std::string stepLine(const FindingCursor::Step& step);

}  // namespace vrn::check
