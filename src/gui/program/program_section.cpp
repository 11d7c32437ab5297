#include "gui/program/program_section.h"

#include <QAction>
#include <QTreeWidget>

#include "core/link/usb_port.h"
#include "core/program/program_actions.h"
#include "gui/app/change_tracker.h"
#include "gui/app/main_menu.h"
#include "gui/app/models.h"
#include "gui/app/qt_host.h"
#include "gui/program/user_program_page.h"

namespace vrn::gui {

ProgramSection::ProgramSection(const SectionContext& context, UserProgramPage& page)
    : QObject(&context.window),
      ctx_(context),
      page_(page),
      transfer_(context.exchange, context.models.program) {
    const MainMenuItems& menu = ctx_.menu;
    connect(menu.RxProgram, &QAction::triggered, this, [this] {
        if (ctx_.usb.isOpen() && !ctx_.changes.maySaveFirst({Part::Program})) return;
        if (!program::RxProgram(transfer_, [this] { showProgramPage(); }).ok()) return;
        ctx_.changes.loaded(Part::Program);
        if (auto* tree = page_.findChild<QTreeWidget*>(QStringLiteral("TreeViewPgm"))) tree->setFocus();
    });
    connect(menu.TxUserProgram, &QAction::triggered, this, [this] {
        if (program::TxUserProgram(transfer_, [this] { showProgramPage(); }).ok())
            ctx_.changes.saved(Part::Program);
    });
    connect(menu.CheckUserProgram1, &QAction::triggered, this, &ProgramSection::CheckUserProgram1Click);
    connect(menu.NextFinding1, &QAction::triggered, this, &ProgramSection::NextFinding1Click);
}

// With the Setup page's record format: the one Send Setup/Screens/Pgm sends with the program.
void ProgramSection::CheckUserProgram1Click() {
    findings_.reset(check::CheckUserProgram(ctx_.host, ctx_.models.program.store, &ctx_.models.setup));
    if (!findings_.empty()) NextFinding1Click();
}

void ProgramSection::NextFinding1Click() {
    if (findings_.empty()) {
        ctx_.host.beep(BeepKind::Default);
        return;
    }
    showProgramPage();
    if (const auto step = findings_.next(ctx_.models.program.tree)) {
        page_.selectNode(step->path);
        ctx_.host.appendLine(check::stepLine(*step));
    }
}

void ProgramSection::showProgramPage() {
    ctx_.showPage(ctx_.pages.TabSheetUserPgm);
}

}  // namespace vrn::gui
