#include "core/screens/screen_actions.h"

#include <string>

#include "core/io/file_store.h"
#include "core/link/exchange.h"
#include "core/link/host.h"
#include "core/link/usb_port.h"
#include "core/screens/screen_drawing.h"
#include "core/screens/screen_editor.h"
#include "core/screens/screen_store.h"
#include "core/screens/screen_transfer.h"

namespace vrn::screens {
namespace {

FileDialogSpec screenDialog(bool save) {
    FileDialogSpec spec;
    spec.title = save ? "Save Screen File" : "Open Screen File";
    spec.filter = kScreenFileFilter;
    spec.defaultExt = kScreenFileExt;
    spec.mustExist = !save;
    spec.overwritePrompt = save;
    return spec;
}

}  // namespace

Outcome RxScreens(ScreenTransfer& transfer, const std::function<void()>& showScreensPage) {
    Exchange& ex = transfer.exchange();
    if (!ex.port().isOpen()) {
        constexpr const char* kClosed = "Cannot Get Screens.\nUSB port is closed.";
        warn(ex.host(), kClosed);
        return Outcome::portGone(kClosed);
    }
    if (showScreensPage) showScreensPage();
    WaitCursor hourglass(ex.host());
    Outcome outcome = transfer.GetUserScreens();
    if (!outcome.ok()) MyCommError(ex.host());
    return outcome;
}

Outcome TxScreens(ScreenTransfer& transfer, const std::function<void()>& showScreensPage) {
    Exchange& ex = transfer.exchange();
    if (!ex.port().isOpen()) {
        constexpr const char* kClosed = "Cannot Send Screens.\nUSB port is closed.";
        warn(ex.host(), kClosed);
        return Outcome::portGone(kClosed);
    }
    if (showScreensPage) showScreensPage();
    WaitCursor hourglass(ex.host());
    Outcome outcome = transfer.SendUserScreens();
    if (!outcome.ok()) MyCommError(ex.host());
    return outcome;
}

void ReadScreenFile(Host& host, ScreenEditor& editor, std::span<const uint8_t> bytes) {
    ScreenDisplay& display = editor.display();
    display.store().load(bytes);
    host.pump();
    {
        WaitCursor hourglass(host);
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kColumns; ++c)
                display.DrawCell(r, c, display.store().cell(0, r, c), false);
        editor.setScreenNumber(1);
    }
    editor.ButtonStopEditClick();
}

bool openScreenFileAt(Host& host, FileStore& files, ScreenEditor& editor, const std::string& path) {
    std::string error;
    const auto bytes = files.readFile(path, kStoreBytes, error);
    if (!bytes) {
        warn(host, "Cannot open file \"" + path + "\".\n" + error);
        return false;
    }
    ReadScreenFile(host, editor, *bytes);
    host.appendLine("OPENED SCREEN FILE " + path);
    return true;
}

std::optional<std::string> OpenScreenFile(Host& host, FileStore& files, ScreenEditor& editor) {
    auto path = host.openFileName(screenDialog(false));
    if (!path || !openScreenFileAt(host, files, editor, *path)) return std::nullopt;
    return path;
}

std::optional<std::string> SaveScreenFile(Host& host, FileStore& files, const ScreenEditor& editor) {
    auto path = host.saveFileName(screenDialog(true));
    if (!path) return std::nullopt;
    std::string error;
    if (!files.writeFile(*path, editor.store().bytes(), error)) {
        warn(host, "Cannot create file \"" + *path + "\".\n" + error);
        return std::nullopt;
    }
    host.appendLine("SAVED SCREEN FILE " + *path);
    return path;
}

}  // namespace vrn::screens
