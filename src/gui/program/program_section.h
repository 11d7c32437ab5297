#pragma once

#include <QObject>

#include "core/check/check_actions.h"
#include "core/program/program_transfer.h"
#include "ports/disk_file_store.h"

namespace vrn::gui {

class TFormMain;

// The user program's transfer and file menu items: Get and Send User Program, Open and Save
// User Pgm File, on the window's program model; Check User Program and Next Finding (F8).
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
    DiskFileStore files_;
    check::FindingCursor findings_;
};

}  // namespace vrn::gui
