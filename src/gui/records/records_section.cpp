#include "gui/records/records_section.h"

#include <QAction>
#include <QVBoxLayout>

#include "gui/app/form_main.h"
#include "gui/records/records_page.h"
#include "gui/setup/setup_section.h"

namespace vrn::gui {

RecordsSection::RecordsSection(TFormMain& form)
    : QObject(&form),
      page_(new RecordsPage(form.preferences(), form.pages().TabSheetRecords)),
      retrieval_(form.setupSection().transfer(), files_, page_),
      erase_(form.exchange()) {
    auto* layout = new QVBoxLayout(form.pages().TabSheetRecords);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(page_);
    page_->onGetRecords = [this] { retrieval_.ButtonGetRecordsClick(page_->options()); };
    connect(form.menu().EraseRecords1, &QAction::triggered, this, [this] { erase_.EraseRecords1Click(); });
}

}  // namespace vrn::gui
