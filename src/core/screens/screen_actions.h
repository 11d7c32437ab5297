#pragma once

#include <cstdint>
#include <functional>
#include <span>

namespace vrn {
class FileStore;
class Host;
}  // namespace vrn

namespace vrn::screens {

class ScreenEditor;
class ScreenTransfer;

// The Get and Send Screens menu items: refused with a box while the port is closed; they show the
// Screens page, run under the hourglass and report a failure with the communication-error box.
void RxScreens(ScreenTransfer& transfer, const std::function<void()>& showScreensPage);
void TxScreens(ScreenTransfer& transfer, const std::function<void()>& showScreensPage);

// Loads the store from a screen file's bytes (a short file replaces only the leading bytes), shows
// screen 1 and ends editing.
void ReadScreenFile(Host& host, ScreenEditor& editor, std::span<const uint8_t> bytes);

// File, Individual Open/Save Files: the screen file through the open and save dialogs.
void OpenScreenFile(Host& host, FileStore& files, ScreenEditor& editor);
void SaveScreenFile(Host& host, FileStore& files, const ScreenEditor& editor);

inline constexpr const char* kScreenFileFilter = "Screen Files (*.scr)|*.scr|All Files (*.*)|*.*";
inline constexpr const char* kScreenFileExt = "scr";

}  // namespace vrn::screens
