#include "gui/setup/setup_section.h"

#include <QAction>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/link/usb_port.h"
#include "core/setup/setup_actions.h"
#include "gui/app/change_tracker.h"
#include "gui/app/main_menu.h"
#include "gui/app/models.h"
#include "gui/app/qt_host.h"
#include "gui/setup/setup_page.h"

namespace vrn::gui {

SetupSection::SetupSection(const SectionContext& context)
    : QObject(&context.window), ctx_(context), transfer_(context.exchange, context.models.setup) {
    QWidget* tab = ctx_.pages.TabSheetSetup;
    page_ = new SetupPage(ctx_.models.setup, ctx_.host.clock(), tab);
    auto* layout = new QVBoxLayout(tab);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(page_);
    page_->isShown = [this, tab] { return ctx_.isShown(tab); };

    const MainMenuItems& menu = ctx_.menu;
    // A Get replaces the Setup: a changed one is asked about first (once the port is known open).
    connect(menu.RxSetup, &QAction::triggered, this, [this] {
        if (ctx_.usb.isOpen() && !ctx_.changes.maySaveFirst({Part::Setup})) return;
        if (setup::RxSetup(transfer_, [this] { showSetupPage(); }).ok()) ctx_.changes.loaded(Part::Setup);
    });
    connect(menu.TxSetup, &QAction::triggered, this, [this] {
        if (setup::TxSetup(transfer_, [this] { showSetupPage(); }).ok()) ctx_.changes.saved(Part::Setup);
    });
}

setup::SetupModel& SetupSection::model() {
    return ctx_.models.setup;
}

void SetupSection::showSetupPage() {
    ctx_.showPage(ctx_.pages.TabSheetSetup);
}

}  // namespace vrn::gui
