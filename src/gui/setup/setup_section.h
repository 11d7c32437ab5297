#pragma once

#include <QObject>

#include "core/setup/setup_model.h"
#include "core/setup/setup_transfer.h"
#include "gui/app/pages.h"

namespace vrn {
class Exchange;
}

namespace vrn::gui {

class ChangeTracker;
class MainMenu;
class SetupPage;

// The Setup inside the main window: the window's Setup model on its page in TabSheetSetup, and
// the Get/Send Setup menu items.
class SetupSection : public QObject {
    Q_OBJECT
public:
    // Edits of the model count as changes of the Setup in changes, which asks before a Get
    // replaces a changed one.
    SetupSection(const PageTab& page, Exchange& exchange, setup::SetupModel& model, ChangeTracker& changes,
                 MainMenu& menu, QObject* parent);

    setup::SetupModel& model() { return model_; }
    setup::SetupTransfer& transfer() { return transfer_; }
    SetupPage& page() { return *page_; }
    // Timer1's tick: the page follows the PC's clock while it is the one shown.
    void timerTick();

private:
    PageTab tab_;
    Exchange& exchange_;
    setup::SetupModel& model_;
    ChangeTracker& changes_;
    setup::SetupTransfer transfer_;
    SetupPage* page_ = nullptr;
};

}  // namespace vrn::gui
