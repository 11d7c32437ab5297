#pragma once

#include <QObject>
#include <QString>
#include <optional>
#include <string>
#include <string_view>

#include "core/app/recent_files.h"
#include "gui/app/change_tracker.h"

class QMenu;

namespace vrn {
class FileStore;
}

namespace vrn::workspace {
struct Workspace;
}

namespace vrn::gui {

class MainMenu;
class QtHost;

// The kinds of file the File menu opens and saves.
enum class FileKind : uint8_t { Setup, Screens, Program, Group };

// The kind a file name's extension says (without regard to case); nothing for any other file.
std::optional<FileKind> fileKindOf(const QString& path);

// The File menu's open and save items for the three parts and the group, the Recent Files menu,
// and files dropped on the window. Work that an open would replace is asked about first; what was
// opened or saved is no change any more, goes first in Recent Files and names the window.
class FileCommands final : public QObject {
    Q_OBJECT
public:
    // preferencesText is the preferences file as read at start-up: the recent files and the
    // dialogs' folders come from it.
    // The files read and write the workspace (the window's three parts and the group name);
    // changes asks before they are replaced. Files dropped on window open.
    FileCommands(QWidget& window, QtHost& host, FileStore& files, workspace::Workspace& workspace,
                 ChangeTracker& changes, MainMenu& menu, std::string_view preferencesText);

    // Opens a file as the File menu's item of its kind does once the file is chosen, after the
    // same questions. False when declined, cancelled or the file could not be read.
    bool openPath(const QString& path);

    // The parts' Save items; true when the file was written.
    bool saveSetup();
    bool saveScreens();
    bool saveProgram();
    bool saveGroup();

    const RecentFiles& recentFiles() const { return recent_; }
    // The preferences file's text with the recent files and the dialogs' folders written in.
    std::string writeInto(std::string_view preferencesText) const;

    static constexpr const char* kFoldersSection = "Last Folders";

signals:
    // A file was opened or saved from the window: its name without the folder.
    void documentNamed(const QString& name);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void openSetup();
    void openScreens();
    void openProgram();
    void openGroup();
    void openRecent(const QString& path);
    // What a file of that kind holds has been opened (loaded) or saved from the window.
    void opened(FileKind kind, const std::string& path);
    void saved(FileKind kind, const std::string& path);
    void remember(const std::string& path);
    void showRecentFiles();

    QWidget& window_;
    QtHost& host_;
    FileStore& files_;
    workspace::Workspace& workspace_;
    ChangeTracker& changes_;
    QMenu* recentMenu_;
    RecentFiles recent_;
};

}  // namespace vrn::gui
