#include "gui/program/program_section.h"

#include <QAction>

#include "core/link/exchange.h"
#include "core/link/usb_port.h"
#include "core/program/program_actions.h"
#include "gui/app/change_tracker.h"
#include "gui/app/main_menu.h"
#include "gui/program/user_program_page.h"

namespace vrn::gui {

ProgramSection::ProgramSection(const PageTab& page, Exchange& exchange, ProgramModel& program,
                               const setup::SetupModel& setup, ChangeTracker& changes, MainMenu& menu,
                               QObject* parent)
    : QObject(parent),
      tab_(page),
      exchange_(exchange),
      program_(program),
      setup_(setup),
      changes_(changes),
      page_(new UserProgramPage(program, exchange.host(), changes, page.sheet())),
      transfer_(exchange, program) {
    connect(page_, &UserProgramPage::changed, &changes_, &ChangeTracker::touch);
    connect(menu.add(&MainMenuItems::RxProgram, this), &QAction::triggered, this, [this] {
        if (exchange_.port().isOpen() && !changes_.maySaveFirst({Part::Program})) return;
        if (!program::RxProgram(transfer_, [this] { tab_.show(); }).ok()) return;
        changes_.loaded(Part::Program);
        page_->focusTree();
    });
    connect(menu.add(&MainMenuItems::TxUserProgram, this), &QAction::triggered, this, [this] {
        if (program::TxUserProgram(transfer_, [this] { tab_.show(); }).ok()) changes_.saved(Part::Program);
    });
    connect(menu.add(&MainMenuItems::CheckUserProgram1, this), &QAction::triggered, this,
            &ProgramSection::CheckUserProgram1Click);
    connect(menu.add(&MainMenuItems::NextFinding1, this), &QAction::triggered, this,
            &ProgramSection::NextFinding1Click);
}

// With the Setup page's record format: the one Send Setup/Screens/Pgm sends with the program.
void ProgramSection::CheckUserProgram1Click() {
    findings_.reset(check::CheckUserProgram(exchange_.host(), program_.store, &setup_));
    if (!findings_.empty()) NextFinding1Click();
}

void ProgramSection::NextFinding1Click() {
    if (findings_.empty()) {
        exchange_.host().beep(BeepKind::Default);
        return;
    }
    tab_.show();
    if (const auto step = findings_.next(program_.tree)) {
        page_->selectNode(step->path);
        exchange_.host().appendLine(check::stepLine(*step));
    }
}

}  // namespace vrn::gui
