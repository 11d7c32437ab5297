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
    workspace::PageControl pages_;
};

}  // namespace vrn::gui
