#pragma once

#include <QObject>
#include <memory>
#include <optional>
#include <string>

#include "core/program/program_transfer.h"
#include "core/workspace/group_actions.h"
#include "core/workspace/whole_transfer.h"
#include "gui/app/section_context.h"

namespace vrn::gui {

class ScreensSection;
class ServiceSection;

// The window's page control as the whole transfers show their steps on it.
class TabPages final : public workspace::PageControl {
public:
    TabPages(QTabWidget& control, const Pages& tabs) : control_(control), tabs_(tabs) {}
    int current() const override;
    void show(workspace::Page page) const override;
    void restore(int index) const override;

private:
    QTabWidget& control_;
    Pages tabs_;
};

// The whole get and send, the printed report and the backup before a firmware update, on the
// window's three models (the File menu's group items are FileCommands'). Holds the current group
// name for the whole run.
class WorkspaceSection final : public QObject {
    Q_OBJECT
public:
    // The whole transfers run the Setup's and the Screens' own; the firmware update of service
    // backs the instrument up through this section.
    WorkspaceSection(const SectionContext& context, setup::SetupTransfer& setup, ScreensSection& screens,
                     ServiceSection& service);

    const std::string& currentGroupName() const { return workspace_.groupName; }
    workspace::Workspace& workspace() { return workspace_; }

private:
    void PrintProgram1Click();
    // Into models of the backup's own: the window's three parts and its group stay as they are.
    Result<std::string> backup(const std::string& firmwarePath);

    SectionContext ctx_;
    program::ProgramTransfer programTransfer_;
    workspace::Workspace workspace_;
    workspace::Transfers transfers_;
    TabPages pages_;
};

}  // namespace vrn::gui
