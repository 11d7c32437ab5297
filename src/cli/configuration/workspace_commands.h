#pragma once

#include <string>
#include <vector>

#include "cli/command_args.h"

namespace vrn::cli {

struct Session;

// get-all GROUP.ssp: the Setup, Screens and Program from the instrument into a group and its members.
int runGetAll(Session& session, const Words& args);
// send-all GROUP.ssp: a group's Setup, Screens and Program to the instrument.
int runSendAll(Session& session, const SendArgs& args);

// Gets the Setup, Screens and Program over the open link into the group at groupPath; the exit
// status: 0 when the whole get arrived and the group's files were written, 1 when the get failed,
// 2 when a file could not be written.
int backupToGroup(Session& session, const std::string& groupPath);

// report GROUP.ssp OUT.pdf: the printed report of a group as a PDF, offline.
int runReport(Session& session, const Words& args);

}  // namespace vrn::cli
