#pragma once

#include <string>
#include <vector>

namespace vrn::cli {

struct Session;

// get-screens FILE.scr: the eight screens from the instrument into a screen file.
int runGetScreens(Session& session, const std::vector<std::string>& args);
// send-screens FILE.scr: a screen file's eight screens to the instrument.
int runSendScreens(Session& session, const std::vector<std::string>& args);
// render FILE.scr OUTDIR: the eight screens as PNG pictures, without the instrument.
int runRender(Session& session, const std::vector<std::string>& args);

}  // namespace vrn::cli
