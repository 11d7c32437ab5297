#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/check/finding.h"

namespace vrn {
class ProgramStore;
}
namespace vrn::setup {
class SetupModel;
}

namespace vrn::cli {

struct Session;

// What check found, as data: the plain printer below writes it one line per finding, and any
// other printer reads the same struct.
struct CheckReport {
    std::string program;               // the program file checked
    std::optional<std::string> setup;  // the setup file whose record format it was checked against
    check::CheckResult result;
};

// The exit status of a check: 0 clean, kExitCheckWarnings, kExitCheckErrors.
int checkStatus(const check::CheckResult& result);

// Before send-program and send-all: nothing when the program may be sent (no errors, or --yes),
// otherwise the exit status to stop with, after the findings and the refusal on stderr.
std::optional<int> refuseProgramWithErrors(Session& session, const ProgramStore& store,
                                           const setup::SetupModel* setup);

}  // namespace vrn::cli
