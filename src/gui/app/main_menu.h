#pragma once

#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QObject;
class QWidget;

namespace vrn::gui {

// Every item of the main menu, named as the items' objectNames.
struct MainMenuItems {
    QMenu* File1 = nullptr;
    QAction* OpenGroup = nullptr;
    QAction* SaveGroup = nullptr;
    QMenu* IndividualOpenSave1 = nullptr;
    QAction* OpenSetupFile = nullptr;
    QAction* OpenScreenFile = nullptr;
    QAction* OpenPgmFile = nullptr;
    QAction* SaveSetupFile = nullptr;
    QAction* SaveScreenFile = nullptr;
    QAction* SavePgmFile = nullptr;
    QMenu* RecentFiles1 = nullptr;  // filled with the recent files as they change
    QAction* PrintProgram1 = nullptr;
    QAction* ReconnectUSB = nullptr;
    QAction* FirmwareUpdate1 = nullptr;
    QAction* AllowCalibration = nullptr;
    QAction* Exit1 = nullptr;

    // Undo and Redo act on the page shown; the window makes them and adds them here.
    QMenu* Edit1 = nullptr;
    QAction* Undo1 = nullptr;
    QAction* Redo1 = nullptr;

    QMenu* Commands1 = nullptr;
    QAction* GetCollection1 = nullptr;
    QAction* SendCollection1 = nullptr;
    QAction* CheckUserProgram1 = nullptr;
    QAction* NextFinding1 = nullptr;  // F8
    QMenu* SpecialCommands1 = nullptr;
    QMenu* IndividualGetSendCommands1 = nullptr;
    QAction* RxSetup = nullptr;
    QAction* RxScreens = nullptr;
    QAction* RxProgram = nullptr;
    QAction* TxSetup = nullptr;
    QAction* TxScreens = nullptr;
    QAction* TxUserProgram = nullptr;
    QAction* EraseRecords1 = nullptr;

    QMenu* Help1 = nullptr;
    QAction* About1 = nullptr;
};

// The main menu: its menus, submenus and separators are there from the start; each command item
// is made by the part of the window that handles it, which owns it, and goes to its place
// whichever part comes first.
class MainMenu {
public:
    // Items repaint window before their command runs: a command may hold the window for a moment
    // without letting it paint, and the place its menu covered is painted first.
    MainMenu(QMenuBar* bar, QWidget& window);

    // Makes the item, owned by owner, with its caption, shortcut and hint, at its place.
    QAction* add(QAction* MainMenuItems::*item, QObject* owner);

    const MainMenuItems& items() const { return items_; }
    // The window adds Undo and Redo, which the undo group makes.
    MainMenuItems& items() { return items_; }

private:
    QWidget& window_;
    MainMenuItems items_;
    // By entry of the menu's layout: the separator, submenu or item there once it is made.
    std::vector<QAction*> placed_;
};

// The edit menu of the program tree; the tree opens it and gives its items their shortcut context.
struct PopupMenuItems {
    QMenu* PopupMenu1 = nullptr;
    QAction* Cut1 = nullptr;
    QAction* Copy1 = nullptr;
    QAction* Paste1 = nullptr;  // disabled until something was cut or copied
    QAction* Delete1 = nullptr;
};

// The items repaint window before they run, as the main menu's do.
PopupMenuItems buildPopupMenu(QWidget* owner, QWidget& window);

}  // namespace vrn::gui
