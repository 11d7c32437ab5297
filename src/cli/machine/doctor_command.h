#pragma once

namespace vrn::cli {

struct Session;

// Prints one line per check of the way to the instrument; exit 0 when it can be opened.
int runDoctor(Session& session);

}  // namespace vrn::cli
