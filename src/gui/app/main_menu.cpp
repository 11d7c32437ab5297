#include "gui/app/main_menu.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace vrn::gui {
namespace {

QAction* item(QMenu* menu, const char* name, const char* caption, QKeySequence shortcut = {},
              const char* hint = nullptr) {
    QAction* action = menu->addAction(QString::fromLatin1(caption));
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    if (hint) action->setStatusTip(QString::fromLatin1(hint));
    return action;
}

// A submenu is found by its name both as the menu and as the item that opens it.
QMenu* submenu(QMenu* parent, const char* name, const char* caption) {
    QMenu* menu = parent->addMenu(QString::fromLatin1(caption));
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    return menu;
}

QMenu* topMenu(QMenuBar* bar, const char* name, const char* caption) {
    QMenu* menu = bar->addMenu(QString::fromLatin1(caption));
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    return menu;
}

}  // namespace

MainMenuItems buildMainMenu(QMenuBar* bar) {
    bar->setObjectName(QStringLiteral("MainMenu1"));
    MainMenuItems m;
    m.File1 = topMenu(bar, "File1", "&File");
    m.OpenGroup = item(m.File1, "OpenGroup", "&Open Setup/Screens/Pgm from File...", Qt::CTRL | Qt::Key_O,
                       "Open a collection of Setup, Screen, and Program Files.");
    m.SaveGroup = item(m.File1, "SaveGroup", "&Save Setup/Screens/Pgm to File...", Qt::CTRL | Qt::Key_S,
                       "Save a collection of Setup, Screen, and Program Files.");
    m.IndividualOpenSave1 = submenu(m.File1, "IndividualOpenSave1", "&Individual Open/Save Files");
    m.OpenSetupFile = item(m.IndividualOpenSave1, "OpenSetupFile", "Open Setup File...");
    m.OpenScreenFile = item(m.IndividualOpenSave1, "OpenScreenFile", "Open Screen File...");
    m.OpenPgmFile = item(m.IndividualOpenSave1, "OpenPgmFile", "Open User Pgm File...");
    m.IndividualOpenSave1->addSeparator();
    m.SaveSetupFile = item(m.IndividualOpenSave1, "SaveSetupFile", "Save Setup File...");
    m.SaveScreenFile = item(m.IndividualOpenSave1, "SaveScreenFile", "Save Screen File...");
    m.SavePgmFile = item(m.IndividualOpenSave1, "SavePgmFile", "Save User Pgm File...");
    m.RecentFiles1 = submenu(m.File1, "RecentFiles1", "&Recent Files");
    m.RecentFiles1->setEnabled(false);
    m.File1->addSeparator();
    m.PrintProgram1 = item(m.File1, "PrintProgram1", "&Print...", Qt::CTRL | Qt::Key_P);
    m.File1->addSeparator();
    m.ReconnectUSB = item(m.File1, "ReconnectUSB", "Reconnect &USB", Qt::CTRL | Qt::Key_U);
    m.FirmwareUpdate1 = item(m.File1, "FirmwareUpdate1", "&Firmware Update...");
    m.AllowCalibration = item(m.File1, "AllowCalibration", "Cali&bration Enable...");
    m.File1->addSeparator();
    m.Exit1 = item(m.File1, "Exit1", "E&xit");

    // T: E belongs to the pages' Start Edit and Edit Parameter buttons.
    m.Edit1 = topMenu(bar, "Edit1", "Edi&t");
    m.Commands1 = topMenu(bar, "Commands1", "&Commands");
    m.GetCollection1 = item(m.Commands1, "GetCollection1", "&Get Setup/Screens/Pgm from 41700",
                            Qt::CTRL | Qt::ALT | Qt::Key_G);
    m.SendCollection1 = item(m.Commands1, "SendCollection1", "&Send Setup/Screens/Pgm to 41700",
                             Qt::CTRL | Qt::ALT | Qt::Key_S);
    m.Commands1->addSeparator();
    m.CheckUserProgram1 = item(m.Commands1, "CheckUserProgram1", "Check &User Program", {},
                               "Check the user program before it is sent.");
    m.NextFinding1 = item(m.Commands1, "NextFinding1", "&Next Finding", Qt::Key_F8,
                          "Select the next finding of the last check in the program tree.");
    m.Commands1->addSeparator();
    m.SpecialCommands1 = submenu(m.Commands1, "SpecialCommands1", "Special &Commands");
    m.IndividualGetSendCommands1 =
        submenu(m.SpecialCommands1, "IndividualGetSendCommands1", "&Individual Get/Send Commands");
    QMenu* individual = m.IndividualGetSendCommands1;
    m.RxSetup = item(individual, "RxSetup", "Get Setup", Qt::SHIFT | Qt::Key_F10);
    m.RxScreens = item(individual, "RxScreens", "Get Screens", Qt::SHIFT | Qt::Key_F11);
    m.RxProgram = item(individual, "RxProgram", "Get User Program", Qt::SHIFT | Qt::Key_F12);
    individual->addSeparator();
    m.TxSetup = item(individual, "TxSetup", "Send Setup", Qt::CTRL | Qt::Key_F10);
    m.TxScreens = item(individual, "TxScreens", "Send Screens", Qt::CTRL | Qt::Key_F11);
    m.TxUserProgram = item(individual, "TxUserProgram", "Send User Program", Qt::CTRL | Qt::Key_F12);
    m.EraseRecords1 = item(m.SpecialCommands1, "EraseRecords1", "&Erase Records");

    m.Help1 = topMenu(bar, "Help1", "&Help");
    m.About1 = item(m.Help1, "About1", "&About...");
    return m;
}

PopupMenuItems buildPopupMenu(QWidget* owner) {
    PopupMenuItems p;
    p.PopupMenu1 = new QMenu(owner);
    p.PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    p.Cut1 = item(p.PopupMenu1, "Cut1", "Cu&t", Qt::CTRL | Qt::Key_X);
    p.Copy1 = item(p.PopupMenu1, "Copy1", "&Copy", Qt::CTRL | Qt::Key_C);
    p.Paste1 = item(p.PopupMenu1, "Paste1", "&Paste", Qt::CTRL | Qt::Key_V);
    p.Paste1->setEnabled(false);
    p.Delete1 = item(p.PopupMenu1, "Delete1", "&Delete", Qt::CTRL | Qt::Key_Delete);
    return p;
}

}  // namespace vrn::gui
