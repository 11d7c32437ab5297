#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "cli/command_args.h"
#include "core/screens/screen_store.h"

namespace vrn {
class ProgramStore;
namespace setup {
class SetupModel;
}
}  // namespace vrn

namespace vrn::cli {

struct Session;

// diff-setup FILE.set, diff-screens FILE.scr, diff-program FILE.pgm, diff-all GROUP.ssp: what the
// instrument holds compared with a file by meaning. Exit 0 equal, 1 different or no answer.
int runDiffSetup(Session& session, const Words& args);
int runDiffScreens(Session& session, const Words& args);
int runDiffProgram(Session& session, const Words& args);
int runDiffAll(Session& session, const Words& args);

// The --verify of the sends: gets back what was just sent and compares it with what was sent.
// kExitOk when it matches; otherwise the differences follow an error line on stderr and the
// result is kExitDiffers (kExitFailed when the get fails).
int verifySetup(Session& session, const setup::SetupModel& sent, const std::string& path);
int verifyScreens(Session& session, std::span<const uint8_t, screens::kStoreBytes> sent,
                  const std::string& path);
int verifyProgram(Session& session, const ProgramStore& sent, const std::string& path);
int verifyAll(Session& session, const setup::SetupModel& setup,
              std::span<const uint8_t, screens::kStoreBytes> screens, const ProgramStore& program,
              const std::string& path);

}  // namespace vrn::cli
