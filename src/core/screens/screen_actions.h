#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "core/link/outcome.h"

namespace vrn {
class FileStore;
class Host;
}  // namespace vrn

namespace vrn::screens {

class ScreenEditor;
class ScreenTransfer;

// The Get and Send Screens menu items: refused with a box while the port is closed; they show the
// Screens page, run under the hourglass and report a failure with the communication-error box.
// A closed port is PortGone, with the box's text as its reason.
Outcome RxScreens(ScreenTransfer& transfer, const std::function<void()>& showScreensPage);
Outcome TxScreens(ScreenTransfer& transfer, const std::function<void()>& showScreensPage);

// Loads the store from a screen file's bytes (a short file replaces only the leading bytes), shows
// screen 1 and ends editing.
void ReadScreenFile(Host& host, ScreenEditor& editor, std::span<const uint8_t> bytes);

// File, Individual Open/Save Files: the screen file through the open and save dialogs. The path
// opened or saved; nothing when the user cancelled or the file could not be read or written.
std::optional<std::string> OpenScreenFile(Host& host, FileStore& files, ScreenEditor& editor);
std::optional<std::string> SaveScreenFile(Host& host, FileStore& files, const ScreenEditor& editor);

// Loads the screen file at path, as Open Screen File does once a file is chosen; false, after its
// box, when the file cannot be read.
bool openScreenFileAt(Host& host, FileStore& files, ScreenEditor& editor, const std::string& path);

inline constexpr const char* kScreenFileFilter = "Screen Files (*.scr)|*.scr|All Files (*.*)|*.*";
inline constexpr const char* kScreenFileExt = "scr";

}  // namespace vrn::screens
