#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/program/program_model.h"

namespace vrn {

// The program file (".pgm"): the store's 65,536-byte image, then the tree text, one line per
// node in display order: a tab per level, the node's text in Windows-1252, CR LF.
inline constexpr const char* kProgramFileFilter = "User Program Files (*.pgm)|*.pgm|All Files (*.*)|*.*";
inline constexpr const char* kProgramFileExt = "pgm";

std::string programTreeText(const ProgramTree& tree);
std::vector<uint8_t> writeProgramFile(const ProgramModel& program);

// Reads the image over the store, then replaces the tree with the lines after it. A file shorter
// than the image is refused with a message saying so, the program unchanged. A line's level is
// its count of leading tabs and blanks; a line more than one level below the node before it stops
// the reading, the nodes so far staying, and its "Invalid level (%d) for item "%s"" message is
// returned.
std::optional<std::string> readProgramFile(std::span<const uint8_t> bytes, ProgramModel& program);

}  // namespace vrn
