#pragma once

class QTabWidget;
class QWidget;

namespace vrn {
class Exchange;
class FileStore;
class UsbPort;
}  // namespace vrn

namespace vrn::gui {

class ChangeTracker;
class QtHost;
struct MainMenuItems;
struct Models;

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

// What a section of the main window works with: the window's Host, link, files, models, change
// marks, menu items and pages. The window makes one and hands it to each section; what a section
// needs of another section it is given by name.
struct SectionContext {
    // The main window: the parent of the sections and their dialogs; keys and drops within it
    // are the window's.
    QWidget& window;
    QtHost& host;
    UsbPort& usb;
    Exchange& exchange;
    FileStore& files;
    Models& models;
    ChangeTracker& changes;
    const MainMenuItems& menu;
    QTabWidget& pageControl;
    const Pages& pages;

    // Brings one of the pages to the front.
    void showPage(QWidget* page) const;
    bool isShown(const QWidget* page) const;
};

}  // namespace vrn::gui
