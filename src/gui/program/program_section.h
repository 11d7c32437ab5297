#pragma once

#include <QObject>

#include "core/program/program_transfer.h"

namespace vrn::gui {

class TFormMain;

// The user program's transfer menu items, Get and Send User Program, on the window's program model.
class ProgramSection : public QObject {
    Q_OBJECT
public:
    explicit ProgramSection(TFormMain& form);

    program::ProgramTransfer& transfer() { return transfer_; }

private:
    void showProgramPage();

    TFormMain& form_;
    program::ProgramTransfer transfer_;
};

}  // namespace vrn::gui
