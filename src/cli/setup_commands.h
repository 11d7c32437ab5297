#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vrn::setup {
class SetupModel;
}

namespace vrn::cli {

struct Session;

// Reads a whole setup file into the model; nothing (after an error line) when it cannot be read
// or is not one, otherwise whether it holds the two COM1 values (older files end before them).
std::optional<bool> loadSetupFile(Session& session, const std::string& path, setup::SetupModel& model);

// get-setup FILE.set: the whole Setup from the instrument into a setup file.
int runGetSetup(Session& session, const std::vector<std::string>& args);
// send-setup FILE.set [--time "MM-DD-YYYY HH:MM:SS"]: a setup file's Setup to the instrument.
int runSendSetup(Session& session, const std::vector<std::string>& args);

}  // namespace vrn::cli
