#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/screens/offscreen_screens.h"

namespace vrn {
class Host;
}

namespace vrn::cli {

struct Session;

using Screens = screens::OffscreenScreens;

// A whole screen file; nothing (after an error line) when it cannot be read or is not one.
std::optional<std::vector<uint8_t>> readScreenFile(Session& session, const std::string& path);

}  // namespace vrn::cli
