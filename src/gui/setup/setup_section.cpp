#include "gui/setup/setup_section.h"

#include <QAction>
#include <QVBoxLayout>

#include "core/link/clock.h"
#include "core/link/exchange.h"
#include "core/link/host.h"
#include "core/link/usb_port.h"
#include "core/setup/setup_actions.h"
#include "gui/app/change_tracker.h"
#include "gui/app/main_menu.h"
#include "gui/setup/setup_page.h"

namespace vrn::gui {

SetupSection::SetupSection(const PageTab& page, Exchange& exchange, setup::SetupModel& model,
                           ChangeTracker& changes, MainMenu& menu, QObject* parent)
    : QObject(parent),
      tab_(page),
      exchange_(exchange),
      model_(model),
      changes_(changes),
      transfer_(exchange, model) {
    QWidget* sheet = tab_.sheet();
    page_ = new SetupPage(model_, exchange_.host().clock(), sheet);
    auto* layout = new QVBoxLayout(sheet);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(page_);
    connect(page_, &SetupPage::modelChanged, &changes_, &ChangeTracker::touch);

    // A Get replaces the Setup: a changed one is asked about first (once the port is known open).
    connect(menu.add(&MainMenuItems::RxSetup, this), &QAction::triggered, this, [this] {
        if (exchange_.port().isOpen() && !changes_.maySaveFirst({Part::Setup})) return;
        if (setup::RxSetup(transfer_, [this] { tab_.show(); }).ok()) changes_.loaded(Part::Setup);
    });
    connect(menu.add(&MainMenuItems::TxSetup, this), &QAction::triggered, this, [this] {
        if (setup::TxSetup(transfer_, [this] { tab_.show(); }).ok()) changes_.saved(Part::Setup);
    });
}

void SetupSection::timerTick() {
    if (tab_.shown()) page_->timerTick();
}

}  // namespace vrn::gui
