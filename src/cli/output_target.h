#pragma once

#include <string>
#include <string_view>

namespace vrn::cli {

struct Session;

// Where a command writes, found out before anything is asked of the instrument, so a download never
// ends with nowhere to put it. Each returns false after its error line; the exit status is then
// kExitUsage.

// The one file a command writes: a file that can be made or replaced, a FIFO or a character device
// written in place, or "-", standard output, which then holds only the data (the message lines go
// to stderr). "-" does not go with --json, whose document is printed on standard output.
bool claimOutputFile(Session& s, const std::string& path);

// Only what "-" asks for (and a name of standard output's own pipe or terminal, /dev/stdout): refused with
// --json, otherwise the message lines go to stderr. For a command whose own operation checks the file before
// the instrument is asked anything.
bool claimStandardOutput(Session& s, const std::string& path);

// A command that writes several files (a group, a folder of pictures), named by path: standard
// output cannot take them.
bool refuseStandardOutput(Session& s, const std::string& path, std::string_view command);

// A group's files (GROUP.ssp and the .set, .scr and .pgm beside it): its folder must be there and
// each one a file that can be made or replaced.
bool checkGroupTarget(Session& s, const std::string& groupPath, std::string_view command);

}  // namespace vrn::cli
