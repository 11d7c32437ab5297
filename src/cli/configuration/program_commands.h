#pragma once

#include <string>
#include <vector>

#include "cli/command_args.h"

namespace vrn {
struct ProgramModel;
}

namespace vrn::cli {

struct Session;

// Reads a whole program file into the program; false (after an error line) when it cannot be read,
// is too short to hold a program, or its tree text is damaged.
bool loadProgram(Session& session, const std::string& path, ProgramModel& program);

// get-program FILE.pgm: the instrument's user program into a program file.
int runGetProgram(Session& session, const Words& args);
// send-program FILE.pgm: a program file's program to the instrument.
int runSendProgram(Session& session, const SendArgs& args);
// listing FILE.pgm: the program tree text of a program file, offline, as UTF-8.
int runListing(Session& session, const ListingArgs& args);

}  // namespace vrn::cli
