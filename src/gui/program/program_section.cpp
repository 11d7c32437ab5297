#include "gui/program/program_section.h"

#include <QAction>
#include <QTabWidget>
#include <QTreeWidget>

#include "core/link/usb_port.h"
#include "core/program/program_actions.h"
#include "gui/app/change_tracker.h"
#include "gui/app/form_main.h"
#include "gui/app/qt_host.h"

namespace vrn::gui {

ProgramSection::ProgramSection(TFormMain& form)
    : QObject(&form), form_(form), transfer_(form.exchange(), form.program()) {
    const MainMenuItems& menu = form.menu();
    connect(menu.RxProgram, &QAction::triggered, this, [this] {
        if (form_.usbPort().isOpen() && !form_.changes().maySaveFirst({Part::Program})) return;
        if (program::RxProgram(transfer_, [this] { showProgramPage(); })) return;
        form_.changes().loaded(Part::Program);
        if (auto* tree =
                form_.pages().TabSheetUserPgm->findChild<QTreeWidget*>(QStringLiteral("TreeViewPgm")))
            tree->setFocus();
    });
    connect(menu.TxUserProgram, &QAction::triggered, this, [this] {
        if (!program::TxUserProgram(transfer_, [this] { showProgramPage(); }))
            form_.changes().saved(Part::Program);
    });
}

void ProgramSection::showProgramPage() {
    form_.pageControl()->setCurrentWidget(form_.pages().TabSheetUserPgm);
}

}  // namespace vrn::gui
