#include "gui/records/records_section.h"

#include <QAction>
#include <QVBoxLayout>

#include "gui/app/main_menu.h"
#include "gui/app/qt_host.h"
#include "gui/records/form_records_chart.h"
#include "gui/records/records_page.h"

namespace vrn::gui {

RecordsSection::RecordsSection(const SectionContext& context, setup::SetupTransfer& setup,
                               Preferences& preferences, const QString& preferencesPath)
    : QObject(&context.window),
      ctx_(context),
      preferencesPath_(preferencesPath),
      page_(new RecordsPage(preferences, context.pages.TabSheetRecords)),
      retrieval_(setup, context.files, page_),
      erase_(context.exchange) {
    auto* layout = new QVBoxLayout(ctx_.pages.TabSheetRecords);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(page_);
    page_->onGetRecords = [this] { retrieval_.ButtonGetRecordsClick(page_->options()); };
    page_->onPlot = [this] { ButtonPlotClick(); };
    connect(ctx_.menu.EraseRecords1, &QAction::triggered, this, [this] { erase_.EraseRecords1Click(); });
}

// New records since the window last drew some replace what it shows; otherwise it keeps what it
// has, a file opened in it too.
void RecordsSection::ButtonPlotClick() {
    if (!chart_) {
        chart_ = new TFormRecordsChart(ctx_.host, ctx_.files, &ctx_.window);
        chart_->setPreferencesPath(preferencesPath_);
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
