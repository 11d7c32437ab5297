#pragma once

#include <string>
#include <vector>

namespace vrn::cli {

struct Session;

// get-setup FILE.set: the whole Setup from the instrument into a setup file.
int runGetSetup(Session& session, const std::vector<std::string>& args);
// send-setup FILE.set [--time "MM-DD-YYYY HH:MM:SS"]: a setup file's Setup to the instrument.
int runSendSetup(Session& session, const std::vector<std::string>& args);

}  // namespace vrn::cli
