#pragma once

#include <string>
#include <vector>

namespace vrn {
struct ProgramModel;
}

namespace vrn::cli {

struct Session;

// Reads a whole program file into the program; false (after an error line) when it cannot be read,
// is too short to hold a program, or its tree text is damaged.
bool loadProgram(Session& session, const std::string& path, ProgramModel& program);

}  // namespace vrn::cli
