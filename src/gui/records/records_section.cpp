#include "gui/records/records_section.h"

#include <QAction>
#include <QShortcut>
#include <QVBoxLayout>
#include <utility>

#include "core/link/exchange.h"
#include "gui/app/change_tracker.h"
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
    page_->onGetRecords = [this] {
        // The page and the message area have shown how it ended.
        (void)retrieval_.ButtonGetRecordsClick(page_->options());
        if (std::exchange(closeAfterDownload_, false))
            QMetaObject::invokeMethod(&ctx_.window, &QWidget::close, Qt::QueuedConnection);
    };
    // The retrieval reads the record format into the Setup: a changed one is asked about first.
    page_->mayReplaceFormat = [this] { return ctx_.changes.maySaveFirst({Part::Setup}); };
    page_->onStop = [this] { ctx_.exchange.abortWaits(); };
    page_->onGoOn = [this] { closeAfterDownload_ = false; };
    // Escape stops a download whichever page shows.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), &ctx_.window);
    escape->setObjectName(QStringLiteral("StopRecordsShortcut"));
    escape->setEnabled(false);
    connect(page_, &RecordsPage::downloadRunningChanged, escape, &QShortcut::setEnabled);
    connect(escape, &QShortcut::activated, page_, &RecordsPage::stopDownload);
    page_->onPlot = [this] { ButtonPlotClick(); };
    connect(ctx_.menu.EraseRecords1, &QAction::triggered, this,
            [this] { (void)erase_.EraseRecords1Click(); });
}

bool RecordsSection::stopForClose() {
    if (!page_->downloading()) return false;
    closeAfterDownload_ = true;
    page_->stopDownload();
    return true;
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
