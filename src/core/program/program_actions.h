#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/link/outcome.h"
#include "core/program/program_model.h"

namespace vrn {
class FileStore;
class Host;
}  // namespace vrn

namespace vrn::program {

class ProgramTransfer;

// The User Program menu items. Get and Send refuse with a box when the port is closed, show the
// User Program page, run under the hourglass and report a failed transfer with the
// communication-error box, unless the program itself was at fault and its box said so. Send first
// checks the program and asks before sending one with errors: No is Refused. A closed port is
// PortGone, with the box's text as its reason.
Outcome RxProgram(ProgramTransfer& transfer, const std::function<void()>& showProgramPage);
Outcome TxUserProgram(ProgramTransfer& transfer, const std::function<void()>& showProgramPage);

// File, Individual Open/Save Files: the program file through the open and save dialogs. The path
// opened or saved; nothing when the user cancelled or the file could not be read or written.
std::optional<std::string> OpenPgmFile(Host& host, FileStore& files, ProgramModel& program);
std::optional<std::string> SavePgmFile(Host& host, FileStore& files, const ProgramModel& program);

// Loads the program file at path, as Open User Pgm File does once a file is chosen; false, after
// its box, when the file cannot be read (a tree the reader stops in still counts as loaded).
bool openPgmFileAt(Host& host, FileStore& files, ProgramModel& program, const std::string& path);

// A program file is read whole up to this size: far above the largest tree a program makes.
inline constexpr size_t kMaxProgramFileBytes = size_t{64} << 20;

}  // namespace vrn::program
