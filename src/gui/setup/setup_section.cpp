#include "gui/setup/setup_section.h"

#include <QAction>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/setup/setup_actions.h"
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
    connect(menu.RxSetup, &QAction::triggered, this,
            [this] { setup::RxSetup(transfer_, [this] { showSetupPage(); }); });
    connect(menu.TxSetup, &QAction::triggered, this,
            [this] { setup::TxSetup(transfer_, [this] { showSetupPage(); }); });
    connect(menu.OpenSetupFile, &QAction::triggered, this,
            [this] { setup::OpenSetupFile(form_.host(), files_, model_); });
    connect(menu.SaveSetupFile, &QAction::triggered, this,
            [this] { setup::SaveSetupFile(form_.host(), files_, model_); });
}

void SetupSection::showSetupPage() {
    form_.pageControl()->setCurrentWidget(form_.pages().TabSheetSetup);
}

}  // namespace vrn::gui
