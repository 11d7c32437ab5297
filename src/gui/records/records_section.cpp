#include "gui/records/records_section.h"

#include <QAction>
#include <QVBoxLayout>

#include "gui/app/form_main.h"
#include "gui/app/qt_host.h"
#include "gui/records/form_records_chart.h"
#include "gui/records/records_page.h"
#include "gui/setup/setup_section.h"

namespace vrn::gui {

RecordsSection::RecordsSection(TFormMain& form)
    : QObject(&form),
      page_(new RecordsPage(form.preferences(), form.pages().TabSheetRecords)),
      retrieval_(form.setupSection().transfer(), files_, page_),
      erase_(form.exchange()),
      form_(form) {
    auto* layout = new QVBoxLayout(form.pages().TabSheetRecords);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(page_);
    page_->onGetRecords = [this] { retrieval_.ButtonGetRecordsClick(page_->options()); };
    page_->onPlot = [this] { ButtonPlotClick(); };
    connect(form.menu().EraseRecords1, &QAction::triggered, this, [this] { erase_.EraseRecords1Click(); });
}

// New records since the window last drew some replace what it shows; otherwise it keeps what it
// has, a file opened in it too.
void RecordsSection::ButtonPlotClick() {
    if (!chart_) {
        chart_ = new TFormRecordsChart(form_.host(), files_, &form_);
        chart_->setPreferencesPath(form_.preferencesPath());
    }
    if (const auto last = page_->lastRecords(); last && last != plotted_) {
        plotted_ = last;
        chart_->showRecords(last, QStringLiteral("Last retrieved records"));
    }
    chart_->show();
    chart_->raise();
    chart_->activateWindow();
}

}  // namespace vrn::gui
