#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/command_args.h"
#include "core/screens/offscreen_screens.h"

namespace vrn {
class Host;
}

namespace vrn::cli {

struct Session;

using Screens = screens::OffscreenScreens;

// A whole screen file; nothing (after an error line) when it cannot be read or is not one.
std::optional<std::vector<uint8_t>> readScreenFile(Session& session, const std::string& path);

// get-screens FILE.scr: the eight screens from the instrument into a screen file.
int runGetScreens(Session& session, const Words& args);
// send-screens FILE.scr: a screen file's eight screens to the instrument.
int runSendScreens(Session& session, const SendArgs& args);
// render FILE.scr OUTDIR: the eight screens as PNG pictures, without the instrument.
int runRender(Session& session, const Words& args);

}  // namespace vrn::cli
