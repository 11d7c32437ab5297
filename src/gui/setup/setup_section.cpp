#include "gui/setup/setup_section.h"

#include <QAction>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/link/usb_port.h"
#include "core/setup/setup_actions.h"
#include "gui/app/change_tracker.h"
#include "gui/app/form_main.h"
#include "gui/app/qt_host.h"
#include "gui/setup/setup_page.h"

namespace vrn::gui {

SetupSection::SetupSection(TFormMain& form)
    : QObject(&form), form_(form), transfer_(form.exchange(), model_) {
    QWidget* tab = form.pages().TabSheetSetup;
    page_ = new SetupPage(model_, form.host().clock(), tab);
    auto* layout = new QVBoxLayout(tab);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(page_);
    page_->isShown = [&form, tab] { return form.pageControl()->currentWidget() == tab; };
    form.addTickHandler([this] { page_->timerTick(); });

    const MainMenuItems& menu = form.menu();
    // A Get replaces the Setup: a changed one is asked about first (once the port is known open).
    connect(menu.RxSetup, &QAction::triggered, this, [this] {
        if (form_.usbPort().isOpen() && !form_.changes().maySaveFirst({Part::Setup})) return;
        if (setup::RxSetup(transfer_, [this] { showSetupPage(); }).ok()) form_.changes().loaded(Part::Setup);
    });
    connect(menu.TxSetup, &QAction::triggered, this, [this] {
        if (setup::TxSetup(transfer_, [this] { showSetupPage(); }).ok()) form_.changes().saved(Part::Setup);
    });
}

void SetupSection::showSetupPage() {
    form_.pageControl()->setCurrentWidget(form_.pages().TabSheetSetup);
}

}  // namespace vrn::gui
