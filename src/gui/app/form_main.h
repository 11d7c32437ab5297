#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>

#include "core/app/preferences.h"
#include "gui/app/main_menu.h"
#include "gui/app/models.h"
#include "gui/app/pages.h"
#include "ports/disk_file_store.h"

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QUndoGroup;

namespace vrn {
class Clock;
class Exchange;
class InstrumentEvents;
class Port;
class Timer1;
class UsbPort;
}  // namespace vrn

namespace vrn::gui {

class ChangeTracker;
class FileCommands;
class ProgramSection;
class QtHost;
class RecordsSection;
class ScreensSection;
class ServiceSection;
class SetupSection;
class TFormAbout;
class UserProgramPage;

// The main window: the pages, the menus, the message area, the progress bar, the status bar and
// Timer1; the models, and the Host and link objects every page works through, which it hands to
// its sections. Construction reads the preferences, places the window and opens the USB port (its
// warning comes before the window is first shown); closing writes the preferences and closes the
// port.
class TFormMain : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 570;
    static constexpr int kClientHeight = 671;
    static constexpr int kStatusBarHeight = 19;
    // The page control's size when the pages need no more.
    static constexpr int kPagesWidth = 541;
    static constexpr int kPagesHeight = 385;
    // The one version the window title, the About box and --version show.
    static constexpr const char* kCaption = "Varno 41700 VRNComm " VRN_VERSION;
    // After the reasons an instrument could not be opened: the program can be tried without one.
    static constexpr const char* kTryWithoutText =
        "NO INSTRUMENT AT HAND? vrncomm --simulate TRIES EVERY FUNCTION ON A SIMULATED ONE.";
    static constexpr const char* kApplicationName = "VRNComm " VRN_VERSION;
    // How often an instrument plugged in during an exchange looks again whether it has ended.
    static constexpr int kPluggedRetryMs = 250;

    // driver is the port backend (hardware or simulated); preferencesPath the INI file to use.
    // With events, the instrument is opened when it is plugged in while the port is closed, and
    // the port closes when it is unplugged.
    TFormMain(Clock& clock, Port& driver, const QString& preferencesPath, InstrumentEvents* events = nullptr,
              QWidget* parent = nullptr);
    ~TFormMain() override;

    QtHost& host() { return *host_; }
    UsbPort& usbPort() { return *usb_; }
    Exchange& exchange() { return *exchange_; }
    Timer1& timer();
    const MainMenuItems& menu() const { return menu_->items(); }
    const PopupMenuItems& popupMenu() const;
    const Pages& pages() const { return pages_; }
    QTabWidget* pageControl() const { return PageControlMain; }
    TFormAbout& formAbout() { return *about_; }
    SetupSection& setupSection() { return *setup_; }
    // The screen store, its page and editor, and the screen menu items.
    ScreensSection& screensSection() { return *screens_; }
    ServiceSection& serviceSection() { return *service_; }

    // The Setup, the screens and the user program for the whole run.
    Models& models() { return models_; }
    // The user program: its store and tree, shown and edited on the User Program page.
    ProgramModel& program() { return models_.program; }
    UserProgramPage& userProgramPage() { return *userProgram_; }

    RecordsSection& recordsSection() { return *records_; }

    // Which parts changed since they were last opened, saved, got or sent; the questions before
    // work is replaced.
    ChangeTracker& changes() { return *changes_; }
    // The File menu's open and save items, Recent Files and dropped files.
    FileCommands& fileCommands() { return *fileCommands_; }
    // Undo and Redo act on the Screens page's stack or, with Enable Edit checked, the User Program
    // page's; on other pages on none.
    QUndoGroup& undoGroup() { return *undoGroup_; }

    // The group or file last opened or saved, shown in the title with an asterisk while a part
    // has changed since.
    void setDocumentName(const QString& name);

    // The Get Records page reads its two options from here when it is built and puts them back
    // before the window closes; the window keeps its own position in it.
    Preferences& preferences() { return prefs_; }
    // The preferences file, where windows of the run keep sections of their own.
    const QString& preferencesPath() const { return preferencesPath_; }

    // Timer1's tick runs these, in the order added, before it lowers TimeoutTicks (the Setup
    // page's PC clock display hooks in here).
    void addTickHandler(std::function<void()> handler);

signals:
    // Timer1's tick, which runs the tick handlers.
    void timerTicked();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildWindow();
    QWidget* addPage(const char* name, const char* caption);
    PageTab pageTab(QWidget* sheet);
    void buildDialogs();
    void guardExchanges();
    void fitToPages();
    void shutDown();
    void openWhenPlugged();
    void trackChanges();
    void buildUndo();
    void chooseUndoStack();
    void updateTitle();

    QString preferencesPath_;
    Preferences prefs_;
    // The models and the files outlive the client area, whose pages let go of the models as they
    // are deleted: members go in the reverse order of their declaration, and all of them before
    // QWidget deletes the remaining children.
    Models models_;
    DiskFileStore files_;
    // The client area below the menu, with the pages and the message area; also the central
    // widget, which Qt lets go of when it is deleted.
    std::unique_ptr<QWidget> client_;
    QTabWidget* PageControlMain = nullptr;
    QProgressBar* ProgressBar = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* ButtonClearMemo = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* statusPanel_ = nullptr;
    Pages pages_;
    std::unique_ptr<MainMenu> menu_;

    std::unique_ptr<QtHost> host_;
    std::unique_ptr<UsbPort> usb_;
    std::unique_ptr<Exchange> exchange_;
    SetupSection* setup_ = nullptr;
    ScreensSection* screens_ = nullptr;
    ProgramSection* program_ = nullptr;
    ServiceSection* service_ = nullptr;
    TFormAbout* about_ = nullptr;
    UserProgramPage* userProgram_ = nullptr;
    RecordsSection* records_ = nullptr;
    ChangeTracker* changes_ = nullptr;
    FileCommands* fileCommands_ = nullptr;
    QUndoGroup* undoGroup_ = nullptr;
    QString documentName_;
    bool shutDown_ = false;
};

}  // namespace vrn::gui
