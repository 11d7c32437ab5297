#pragma once

#include <QObject>

#include "core/check/check_actions.h"
#include "core/program/program_transfer.h"
#include "gui/app/section_context.h"

namespace vrn::gui {

class UserProgramPage;

// The user program's transfer menu items, Get and Send User Program, on the window's program
// model; Check User Program and Next Finding (F8), shown on the User Program page.
class ProgramSection : public QObject {
    Q_OBJECT
public:
    ProgramSection(const SectionContext& context, UserProgramPage& page);

    program::ProgramTransfer& transfer() { return transfer_; }

private:
    void showProgramPage();
    void CheckUserProgram1Click();
    void NextFinding1Click();

    SectionContext ctx_;
    UserProgramPage& page_;
    program::ProgramTransfer transfer_;
    check::FindingCursor findings_;
};

}  // namespace vrn::gui
