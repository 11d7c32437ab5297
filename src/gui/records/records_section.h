#pragma once

#include <QObject>

#include "core/records/record_erase.h"
#include "core/records/record_retrieval.h"
#include "ports/disk_file_store.h"

namespace vrn::gui {

class RecordsPage;
class TFormMain;

// The records inside the main window: the Get Records page in TabSheetRecords with its retrieval,
// and the Erase Records menu item.
class RecordsSection : public QObject {
    Q_OBJECT
public:
    explicit RecordsSection(TFormMain& form);

    RecordsPage& page() { return *page_; }
    records::RecordRetrieval& retrieval() { return retrieval_; }

private:
    DiskFileStore files_;
    RecordsPage* page_ = nullptr;
    records::RecordRetrieval retrieval_;
    records::RecordErase erase_;
};

}  // namespace vrn::gui
