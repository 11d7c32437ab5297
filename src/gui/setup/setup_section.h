#pragma once

#include <QObject>

#include "core/setup/setup_model.h"
#include "core/setup/setup_transfer.h"

namespace vrn::gui {

class SetupPage;
class TFormMain;

// The Setup inside the main window: the model for the whole run, its page in TabSheetSetup, the
// Get/Send Setup menu items, and the PC clock on Timer1's tick.
class SetupSection : public QObject {
    Q_OBJECT
public:
    explicit SetupSection(TFormMain& form);

    setup::SetupModel& model() { return model_; }
    setup::SetupTransfer& transfer() { return transfer_; }
    SetupPage& page() { return *page_; }

private:
    void showSetupPage();

    TFormMain& form_;
    setup::SetupModel model_;
    setup::SetupTransfer transfer_;
    SetupPage* page_ = nullptr;
};

}  // namespace vrn::gui
