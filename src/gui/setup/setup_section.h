#pragma once

#include <QObject>

#include "core/setup/setup_model.h"
#include "core/setup/setup_transfer.h"
#include "gui/app/section_context.h"

namespace vrn::gui {

class SetupPage;

// The Setup inside the main window: the window's Setup model on its page in TabSheetSetup, and
// the Get/Send Setup menu items.
class SetupSection : public QObject {
    Q_OBJECT
public:
    explicit SetupSection(const SectionContext& context);

    setup::SetupModel& model();
    setup::SetupTransfer& transfer() { return transfer_; }
    SetupPage& page() { return *page_; }

private:
    void showSetupPage();

    SectionContext ctx_;
    setup::SetupTransfer transfer_;
    SetupPage* page_ = nullptr;
};

}  // namespace vrn::gui
