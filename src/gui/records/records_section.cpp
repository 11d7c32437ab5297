#include "gui/records/records_section.h"

#include <QAction>
#include <QShortcut>
#include <QVBoxLayout>
#include <utility>

#include "core/link/exchange.h"
#include "core/setup/setup_transfer.h"
#include "gui/app/exchange_guard.h"
#include "gui/app/main_menu.h"
#include "gui/records/form_records_chart.h"
#include "gui/records/records_page.h"

namespace vrn::gui {

RecordsSection::RecordsSection(QWidget& window, const PageTab& page, setup::SetupTransfer& setup,
                               FileStore& files, ChangeTracker& changes, ExchangeGuard& guard, MainMenu& menu,
                               Preferences& preferences, const QString& preferencesPath)
    : QObject(&window),
      window_(window),
      exchange_(setup.exchange()),
      files_(files),
      preferencesPath_(preferencesPath),
      page_(new RecordsPage(preferences, &changes, page.sheet())),
      retrieval_(setup, files, page_),
      erase_(exchange_) {
    auto* layout = new QVBoxLayout(page.sheet());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(page_);
    guard.keepUsable(page_->stopButton());
    connectPage();
    connect(menu.add(&MainMenuItems::EraseRecords1, this), &QAction::triggered, this,
            [this] { erase_.EraseRecords1Click(); });
}

void RecordsSection::connectPage() {
    connect(page_, &RecordsPage::getRecordsClicked, this, [this] {
        retrieval_.ButtonGetRecordsClick(page_->options());
        if (std::exchange(closeAfterDownload_, false))
            QMetaObject::invokeMethod(&window_, &QWidget::close, Qt::QueuedConnection);
    });
    connect(page_, &RecordsPage::stopClicked, this, [this] { exchange_.abortWaits(); });
    connect(page_, &RecordsPage::downloadLetGoOn, this, [this] { closeAfterDownload_ = false; });
    // Escape stops a download whichever page shows.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), &window_);
    escape->setObjectName(QStringLiteral("StopRecordsShortcut"));
    escape->setEnabled(false);
    connect(page_, &RecordsPage::downloadRunningChanged, escape, &QShortcut::setEnabled);
    connect(escape, &QShortcut::activated, page_, &RecordsPage::stopDownload);
    connect(page_, &RecordsPage::plotClicked, this, &RecordsSection::ButtonPlotClick);
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
        chart_ = new TFormRecordsChart(exchange_.host(), files_, &window_);
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
