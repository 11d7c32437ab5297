#pragma once

class QTabWidget;
class QWidget;

namespace vrn::gui {

// The six work pages. Each is an empty QWidget named for its page; the page's own class is put
// into it (a layout on it, or as a child filling it).
struct Pages {
    QWidget* TabSheetSetup = nullptr;
    QWidget* TabSheetScreen = nullptr;
    QWidget* TabSheetUserPgm = nullptr;
    QWidget* TabSheetRecords = nullptr;
    QWidget* TabSheetTests = nullptr;
    QWidget* TabSheetCalib = nullptr;
};

// One page of the page control, as the section that fills it sees it: the sheet to fill, and
// bringing it to the front.
class PageTab {
public:
    PageTab(QTabWidget& control, QWidget& sheet) : control_(&control), sheet_(&sheet) {}

    QWidget* sheet() const { return sheet_; }
    void show() const;
    bool shown() const;

private:
    QTabWidget* control_;
    QWidget* sheet_;
};

}  // namespace vrn::gui
