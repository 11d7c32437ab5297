#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/link/outcome.h"
#include "core/program/program_model.h"

namespace vrn {
class FileStore;
class Host;
namespace setup {
class SetupModel;
}
namespace screens {
class PixelBuffer;
class ScreenEditor;
}  // namespace screens
}  // namespace vrn

namespace vrn::workspace {

// The three models a group holds, and the name of the group last opened or saved.
struct Workspace {
    setup::SetupModel& setup;
    screens::ScreenEditor& screens;
    ProgramModel& program;
    std::string groupName;
};

// Encodes a 480 x 96 black-on-white screen picture as the bytes of a bitmap file; empty when it
// cannot. The window and the command-line tool encode with Qt.
using PictureEncoder = std::function<std::vector<uint8_t>(const screens::PixelBuffer& picture)>;

inline constexpr const char* kOpenGroupFilter = "Setup/Screens/Pgm File (*.ssp)|*.ssp|All Files (*.*)|*.*";
inline constexpr const char* kSaveGroupFilter = "Setup/Screens/Pgm Files (*.ssp)|*.ssp|All Files (*.*)|*.*";
inline constexpr const char* kIncorrectGroupText =
    "Incorrect file type.\nPlease select another file or open\nSetup, Screen, and Program files\nseparately.";

// File menu items: the question, the dialog, then the files below. The group file opened, or
// saved with its setup, screen and program files; nothing when the user declined or cancelled,
// or when that failed.
std::optional<std::string> OpenGroup(Host& host, FileStore& files, Workspace& ws);
std::optional<std::string> SaveGroup(Host& host, FileStore& files, Workspace& ws,
                                     const PictureEncoder& encode);

// The group's question alone: true when the user agreed to have the three parts overwritten.
bool confirmOverwrite(Host& host);

// Loads the members of the group at path, each failure with its own box and the others still
// loaded, and a line naming the group. False, with nothing loaded, when the group file is missing
// or carries no mark.
bool openGroupFiles(Host& host, FileStore& files, Workspace& ws, const std::string& path);

// Writes the group file with the setup, screen and program files, which replace their old files
// together only once all four are complete, then the listing and the eight pictures. When one of
// the four cannot be written its box names it and the reason, and none is replaced (the listing
// and the pictures are for people: their failures have no box): NotWritten, with that box's text.
Outcome saveGroupFiles(Host& host, FileStore& files, Workspace& ws, const std::string& path,
                       const PictureEncoder& encode);

}  // namespace vrn::workspace
