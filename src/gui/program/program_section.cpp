#include "gui/program/program_section.h"

#include <QAction>
#include <QTabWidget>
#include <QTreeWidget>

#include "core/link/usb_port.h"
#include "core/program/program_actions.h"
#include "gui/app/change_tracker.h"
#include "gui/app/form_main.h"
#include "gui/app/qt_host.h"
#include "gui/program/user_program_page.h"
#include "gui/setup/setup_section.h"

namespace vrn::gui {

ProgramSection::ProgramSection(TFormMain& form)
    : QObject(&form), form_(form), transfer_(form.exchange(), form.program()) {
    const MainMenuItems& menu = form.menu();
    connect(menu.RxProgram, &QAction::triggered, this, [this] {
        if (form_.usbPort().isOpen() && !form_.changes().maySaveFirst({Part::Program})) return;
        if (!program::RxProgram(transfer_, [this] { showProgramPage(); }).ok()) return;
        form_.changes().loaded(Part::Program);
        if (auto* tree =
                form_.pages().TabSheetUserPgm->findChild<QTreeWidget*>(QStringLiteral("TreeViewPgm")))
            tree->setFocus();
    });
    connect(menu.TxUserProgram, &QAction::triggered, this, [this] {
        if (program::TxUserProgram(transfer_, [this] { showProgramPage(); }).ok())
            form_.changes().saved(Part::Program);
    });
    connect(menu.CheckUserProgram1, &QAction::triggered, this, &ProgramSection::CheckUserProgram1Click);
    connect(menu.NextFinding1, &QAction::triggered, this, &ProgramSection::NextFinding1Click);
}

// With the Setup page's record format: the one Send Setup/Screens/Pgm sends with the program.
void ProgramSection::CheckUserProgram1Click() {
    findings_.reset(
        check::CheckUserProgram(form_.host(), form_.program().store, &form_.setupSection().model()));
    if (!findings_.empty()) NextFinding1Click();
}

void ProgramSection::NextFinding1Click() {
    if (findings_.empty()) {
        form_.host().beep(BeepKind::Default);
        return;
    }
    showProgramPage();
    if (const auto step = findings_.next(form_.program().tree))
        form_.userProgramPage().selectNode(step->path);
}

void ProgramSection::showProgramPage() {
    form_.pageControl()->setCurrentWidget(form_.pages().TabSheetUserPgm);
}

}  // namespace vrn::gui
