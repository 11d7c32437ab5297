#pragma once

#include <string>

namespace vrn::sim {

// A serial program takes the pty for itself (TIOCEXCL) and gives it back when it closes it; a
// program that is killed cannot. The flag lives as long as the pty, which the simulator keeps
// open, so it would refuse every later program: what no living program holds is given back.

// Whether the tty at fd is held exclusively.
bool isExclusive(int fd);

// Whether a process other than this one has the file at path open (as far as /proc shows: other
// users' processes only to root).
bool openElsewhere(const std::string& path);

// Clears the exclusive flag of the tty at fd when nobody else holds path open; true when it did.
bool releaseOrphanedExclusive(int fd, const std::string& path);

}  // namespace vrn::sim
