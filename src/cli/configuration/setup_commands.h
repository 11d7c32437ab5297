#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vrn::setup {
class SetupModel;
struct AdjustedValue;
}  // namespace vrn::setup

namespace vrn::cli {

struct Session;

struct LoadedSetup {
    bool holdsCom1 = false;  // older files end before the two COM1 values
    bool adjusted = false;   // a value was out of range and was brought into it (with a warning)
};

// Reads a whole setup file into the model; nothing (after an error line) when it cannot be read
// or is not one. Every value brought into range is named in a warning.
std::optional<LoadedSetup> loadSetupFile(Session& session, const std::string& path, setup::SetupModel& model);

// Names each value of the file that was brought into range in a warning; true when there was one.
bool warnAdjusted(Session& session, const std::string& path,
                  const std::vector<setup::AdjustedValue>& adjusted);
// A Setup whose file held values out of range is sent only when the user says Yes (--yes).
bool adjustedSetupMayBeSent(Session& session);

}  // namespace vrn::cli
