#pragma once

#include <QObject>

#include "core/check/check_actions.h"
#include "core/program/program_transfer.h"
#include "gui/app/pages.h"

namespace vrn {
class Exchange;
}

namespace vrn::gui {

class ChangeTracker;
class MainMenu;
class UserProgramPage;

// The user program inside the main window: the window's program model on the User Program page
// in TabSheetUserPgm; its transfer menu items, Get and Send User Program; Check User Program and
// Next Finding (F8), shown on the page.
class ProgramSection : public QObject {
    Q_OBJECT
public:
    // The check takes the record format from setup. Edits count as changes of the program in
    // changes, which asks before a Get or New Program replaces a changed one.
    ProgramSection(const PageTab& page, Exchange& exchange, ProgramModel& program,
                   const setup::SetupModel& setup, ChangeTracker& changes, MainMenu& menu, QObject* parent);

    UserProgramPage& page() { return *page_; }
    program::ProgramTransfer& transfer() { return transfer_; }

private:
    void CheckUserProgram1Click();
    void NextFinding1Click();

    PageTab tab_;
    Exchange& exchange_;
    ProgramModel& program_;
    const setup::SetupModel& setup_;
    ChangeTracker& changes_;
    UserProgramPage* page_ = nullptr;
    program::ProgramTransfer transfer_;
    check::FindingCursor findings_;
};

}  // namespace vrn::gui
