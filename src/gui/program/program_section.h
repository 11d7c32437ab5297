#pragma once

#include <QObject>

#include "core/program/program_transfer.h"
#include "ports/disk_file_store.h"

namespace vrn::gui {

class TFormMain;

// The user program's transfer and file menu items: Get and Send User Program, Open and Save
// User Pgm File, on the window's program model.
class ProgramSection : public QObject {
    Q_OBJECT
public:
    explicit ProgramSection(TFormMain& form);

    program::ProgramTransfer& transfer() { return transfer_; }

private:
    void showProgramPage();

    TFormMain& form_;
    program::ProgramTransfer transfer_;
    DiskFileStore files_;
};

}  // namespace vrn::gui
