#pragma once

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace vrn::gui {

// Every item of the main menu, named as the items' objectNames. The handlers are connected by the
// pages and dialogs that own them.
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

// The edit menu of the program tree; the tree opens it and gives its items their shortcut context.
struct PopupMenuItems {
    QMenu* PopupMenu1 = nullptr;
    QAction* Cut1 = nullptr;
    QAction* Copy1 = nullptr;
    QAction* Paste1 = nullptr;  // disabled until something was cut or copied
    QAction* Delete1 = nullptr;
};

MainMenuItems buildMainMenu(QMenuBar* bar);
PopupMenuItems buildPopupMenu(QWidget* owner);

}  // namespace vrn::gui
