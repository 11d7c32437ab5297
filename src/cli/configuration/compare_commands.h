#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/screens/screen_store.h"

namespace vrn {
class ProgramStore;
namespace setup {
class SetupModel;
}
}  // namespace vrn

namespace vrn::cli {

struct Session;

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
