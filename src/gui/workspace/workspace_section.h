#pragma once

#include <QObject>
#include <memory>
#include <optional>
#include <string>

#include "core/program/program_transfer.h"
#include "core/workspace/group_actions.h"
#include "core/workspace/whole_transfer.h"
#include "gui/app/pages.h"

class QTabWidget;

namespace vrn {
class FileStore;
}

namespace vrn::gui {

class ChangeTracker;
class MainMenu;
class ScreensSection;

// The whole get and send, the printed report and the backup before a firmware update, on the
// window's three models (the File menu's group items are FileCommands'). Holds the current group
// name for the whole run.
class WorkspaceSection final : public QObject {
    Q_OBJECT
public:
    // The whole transfers run the Setup's and the Screens' own, and show the parts on their pages;
    // a whole Get asks changes about changed parts first. The report is printed over window.
    WorkspaceSection(QWidget& window, QTabWidget& pageControl, const Pages& pages,
                     setup::SetupTransfer& setup, ScreensSection& screens, ProgramModel& program,
                     FileStore& files, ChangeTracker& changes, MainMenu& menu);

    const std::string& currentGroupName() const { return workspace_.groupName; }
    workspace::Workspace& workspace() { return workspace_; }

    // The backup before a firmware update, into a group file named for firmwarePath; its path, or
    // nothing when it failed. Into models of the backup's own: the window's three parts and its
    // group stay as they are.
    std::optional<std::string> backup(const std::string& firmwarePath);

private:
    void PrintProgram1Click();

    QWidget& window_;
    Exchange& exchange_;
    FileStore& files_;
    ChangeTracker& changes_;
    program::ProgramTransfer programTransfer_;
    workspace::Workspace workspace_;
    workspace::Transfers transfers_;
    workspace::PageControl pages_;
};

}  // namespace vrn::gui
