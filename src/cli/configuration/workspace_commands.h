#pragma once

#include <string>
#include <vector>

namespace vrn::cli {

struct Session;

// Gets the Setup, Screens and Program over the open link into the group at groupPath; the exit
// status: 0 when the whole get arrived and the group's files were written, 1 when the get failed,
// 2 when a file could not be written.
int backupToGroup(Session& session, const std::string& groupPath);

}  // namespace vrn::cli
