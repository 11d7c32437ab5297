#pragma once

#include <QObject>

#include "core/check/check_actions.h"
#include "core/program/program_transfer.h"

namespace vrn::gui {

class TFormMain;

// The user program's transfer menu items, Get and Send User Program, on the window's program
// model; Check User Program and Next Finding (F8).
class ProgramSection : public QObject {
    Q_OBJECT
public:
    explicit ProgramSection(TFormMain& form);

    program::ProgramTransfer& transfer() { return transfer_; }

private:
    void showProgramPage();
    void CheckUserProgram1Click();
    void NextFinding1Click();

    TFormMain& form_;
    program::ProgramTransfer transfer_;
    check::FindingCursor findings_;
};

}  // namespace vrn::gui
