#include "gui/program/program_section.h"

#include <QAction>
#include <QTabWidget>
#include <QTreeWidget>

#include "core/program/program_actions.h"
#include "gui/app/form_main.h"
#include "gui/app/qt_host.h"

namespace vrn::gui {

ProgramSection::ProgramSection(TFormMain& form)
    : QObject(&form), form_(form), transfer_(form.exchange(), form.program()) {
    const MainMenuItems& menu = form.menu();
    connect(menu.RxProgram, &QAction::triggered, this, [this] {
        if (program::RxProgram(transfer_, [this] { showProgramPage(); })) return;
        if (auto* tree =
                form_.pages().TabSheetUserPgm->findChild<QTreeWidget*>(QStringLiteral("TreeViewPgm")))
            tree->setFocus();
    });
    connect(menu.TxUserProgram, &QAction::triggered, this,
            [this] { program::TxUserProgram(transfer_, [this] { showProgramPage(); }); });
    connect(menu.OpenPgmFile, &QAction::triggered, this,
            [this] { program::OpenPgmFile(form_.host(), files_, form_.program()); });
    connect(menu.SavePgmFile, &QAction::triggered, this,
            [this] { program::SavePgmFile(form_.host(), files_, form_.program()); });
}

void ProgramSection::showProgramPage() {
    form_.pageControl()->setCurrentWidget(form_.pages().TabSheetUserPgm);
}

}  // namespace vrn::gui
