#pragma once

#include <QObject>
#include <QString>
#include <memory>

#include "core/chart/record_table.h"
#include "core/records/record_erase.h"
#include "core/records/record_retrieval.h"
#include "gui/app/pages.h"

namespace vrn {
class Exchange;
class FileStore;
struct Preferences;
}  // namespace vrn

namespace vrn::gui {

class ChangeTracker;
class ExchangeGuard;
class MainMenu;
class RecordsPage;
class TFormRecordsChart;

// The records inside the main window: the Get Records page in TabSheetRecords with its retrieval,
// and the Erase Records menu item.
class RecordsSection : public QObject {
    Q_OBJECT
public:
    // The retrieval reads the record format through setup, asking changes about a changed Setup
    // first, and writes its files into files; Stop stays usable in guard. The page keeps its two
    // options in preferences, and the chart window its own section in the preferences file.
    RecordsSection(QWidget& window, const PageTab& page, setup::SetupTransfer& setup, FileStore& files,
                   ChangeTracker& changes, ExchangeGuard& guard, MainMenu& menu, Preferences& preferences,
                   const QString& preferencesPath);

    RecordsPage& page() { return *page_; }
    records::RecordRetrieval& retrieval() { return retrieval_; }
    // The chart window, made on the first click of Plot...; none before.
    TFormRecordsChart* chartWindow() const { return chart_; }
    // Plot...: opens the chart window, showing the last retrieved records.
    void ButtonPlotClick();
    // The window is closing: a running download is stopped as by Stop, asking first, and the
    // window closes once it has ended (unless the user let it go on). False when none runs.
    bool stopForClose();

private:
    void connectPage();

    QWidget& window_;
    Exchange& exchange_;
    FileStore& files_;
    QString preferencesPath_;
    RecordsPage* page_ = nullptr;
    records::RecordRetrieval retrieval_;
    records::RecordErase erase_;
    TFormRecordsChart* chart_ = nullptr;
    // The records the chart window shows, so a second Plot... keeps a file opened there.
    std::shared_ptr<const chart::RecordTable> plotted_;
    bool closeAfterDownload_ = false;
};

}  // namespace vrn::gui
