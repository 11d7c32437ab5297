#include "gui/app/main_menu.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace vrn::gui {
namespace {

using Items = MainMenuItems;

// One entry of a menu, in the menu's order: an item, a submenu or (with neither) a separator.
struct Entry {
    QMenu* Items::*menu;
    QAction* Items::*item = nullptr;
    QMenu* Items::*submenu = nullptr;
    const char* name = nullptr;
    const char* caption = nullptr;
    QKeySequence shortcut{};
    const char* hint = nullptr;
};

Entry item(QMenu* Items::*menu, QAction* Items::*item, const char* name, const char* caption,
           QKeySequence shortcut = {}, const char* hint = nullptr) {
    return {menu, item, nullptr, name, caption, shortcut, hint};
}

Entry submenu(QMenu* Items::*menu, QMenu* Items::*submenu, const char* name, const char* caption) {
    return {menu, nullptr, submenu, name, caption};
}

Entry separator(QMenu* Items::*menu) {
    return {menu};
}

// Every menu's entries in their order; a submenu comes before its own entries.
const std::vector<Entry>& layout() {
    static const std::vector<Entry> entries = {
        item(&Items::File1, &Items::OpenGroup, "OpenGroup", "&Open Setup/Screens/Pgm from File...",
             Qt::CTRL | Qt::Key_O, "Open a collection of Setup, Screen, and Program Files."),
        item(&Items::File1, &Items::SaveGroup, "SaveGroup", "&Save Setup/Screens/Pgm to File...",
             Qt::CTRL | Qt::Key_S, "Save a collection of Setup, Screen, and Program Files."),
        submenu(&Items::File1, &Items::IndividualOpenSave1, "IndividualOpenSave1",
                "&Individual Open/Save Files"),
        item(&Items::IndividualOpenSave1, &Items::OpenSetupFile, "OpenSetupFile", "Open Setup File..."),
        item(&Items::IndividualOpenSave1, &Items::OpenScreenFile, "OpenScreenFile", "Open Screen File..."),
        item(&Items::IndividualOpenSave1, &Items::OpenPgmFile, "OpenPgmFile", "Open User Pgm File..."),
        separator(&Items::IndividualOpenSave1),
        item(&Items::IndividualOpenSave1, &Items::SaveSetupFile, "SaveSetupFile", "Save Setup File..."),
        item(&Items::IndividualOpenSave1, &Items::SaveScreenFile, "SaveScreenFile", "Save Screen File..."),
        item(&Items::IndividualOpenSave1, &Items::SavePgmFile, "SavePgmFile", "Save User Pgm File..."),
        submenu(&Items::File1, &Items::RecentFiles1, "RecentFiles1", "&Recent Files"),
        separator(&Items::File1),
        item(&Items::File1, &Items::PrintProgram1, "PrintProgram1", "&Print...", Qt::CTRL | Qt::Key_P),
        separator(&Items::File1),
        item(&Items::File1, &Items::ReconnectUSB, "ReconnectUSB", "Reconnect &USB", Qt::CTRL | Qt::Key_U),
        item(&Items::File1, &Items::FirmwareUpdate1, "FirmwareUpdate1", "&Firmware Update..."),
        item(&Items::File1, &Items::AllowCalibration, "AllowCalibration", "Cali&bration Enable..."),
        separator(&Items::File1),
        item(&Items::File1, &Items::Exit1, "Exit1", "E&xit"),

        item(&Items::Commands1, &Items::GetCollection1, "GetCollection1", "&Get Setup/Screens/Pgm from 41700",
             Qt::CTRL | Qt::ALT | Qt::Key_G),
        item(&Items::Commands1, &Items::SendCollection1, "SendCollection1",
             "&Send Setup/Screens/Pgm to 41700", Qt::CTRL | Qt::ALT | Qt::Key_S),
        separator(&Items::Commands1),
        item(&Items::Commands1, &Items::CheckUserProgram1, "CheckUserProgram1", "Check &User Program", {},
             "Check the user program before it is sent."),
        item(&Items::Commands1, &Items::NextFinding1, "NextFinding1", "&Next Finding", Qt::Key_F8,
             "Select the next finding of the last check in the program tree."),
        separator(&Items::Commands1),
        submenu(&Items::Commands1, &Items::SpecialCommands1, "SpecialCommands1", "Special &Commands"),
        submenu(&Items::SpecialCommands1, &Items::IndividualGetSendCommands1, "IndividualGetSendCommands1",
                "&Individual Get/Send Commands"),
        item(&Items::IndividualGetSendCommands1, &Items::RxSetup, "RxSetup", "Get Setup",
             Qt::SHIFT | Qt::Key_F10),
        item(&Items::IndividualGetSendCommands1, &Items::RxScreens, "RxScreens", "Get Screens",
             Qt::SHIFT | Qt::Key_F11),
        item(&Items::IndividualGetSendCommands1, &Items::RxProgram, "RxProgram", "Get User Program",
             Qt::SHIFT | Qt::Key_F12),
        separator(&Items::IndividualGetSendCommands1),
        item(&Items::IndividualGetSendCommands1, &Items::TxSetup, "TxSetup", "Send Setup",
             Qt::CTRL | Qt::Key_F10),
        item(&Items::IndividualGetSendCommands1, &Items::TxScreens, "TxScreens", "Send Screens",
             Qt::CTRL | Qt::Key_F11),
        item(&Items::IndividualGetSendCommands1, &Items::TxUserProgram, "TxUserProgram", "Send User Program",
             Qt::CTRL | Qt::Key_F12),
        item(&Items::SpecialCommands1, &Items::EraseRecords1, "EraseRecords1", "&Erase Records"),

        item(&Items::Help1, &Items::About1, "About1", "&About..."),
    };
    return entries;
}

QAction* makeItem(QObject* owner, const char* name, const char* caption, const QKeySequence& shortcut,
                  const char* hint) {
    auto* action = new QAction(QString::fromLatin1(caption), owner);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    if (hint) action->setStatusTip(QString::fromLatin1(hint));
    return action;
}

// Connected before any handler of the item, so it runs first.
void repaintFirst(QAction* action, QWidget& window) {
    QObject::connect(action, &QAction::triggered, &window, [&window] { window.repaint(); });
}

// A menu is found by its name both as the menu and as the item that opens it.
void name(QMenu* menu, const char* name) {
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
}

QMenu* topMenu(QMenuBar* bar, const char* menuName, const char* caption) {
    QMenu* menu = bar->addMenu(QString::fromLatin1(caption));
    name(menu, menuName);
    return menu;
}

}  // namespace

MainMenu::MainMenu(QMenuBar* bar, QWidget& window) : window_(window) {
    bar->setObjectName(QStringLiteral("MainMenu1"));
    items_.File1 = topMenu(bar, "File1", "&File");
    // T: E belongs to the pages' Start Edit and Edit Parameter buttons.
    items_.Edit1 = topMenu(bar, "Edit1", "Edi&t");
    items_.Commands1 = topMenu(bar, "Commands1", "&Commands");
    items_.Help1 = topMenu(bar, "Help1", "&Help");
    for (const Entry& entry : layout()) {
        QMenu* menu = items_.*entry.menu;
        QAction* placed = nullptr;
        if (entry.submenu) {
            QMenu* sub = menu->addMenu(QString::fromLatin1(entry.caption));
            name(sub, entry.name);
            items_.*entry.submenu = sub;
            placed = sub->menuAction();
        } else if (!entry.item) {
            placed = menu->addSeparator();
        }
        placed_.push_back(placed);
    }
    items_.RecentFiles1->setEnabled(false);
}

QAction* MainMenu::add(QAction* MainMenuItems::*item, QObject* owner) {
    const std::vector<Entry>& entries = layout();
    size_t at = 0;
    while (at < entries.size() && entries[at].item != item)
        ++at;
    if (at == entries.size()) return nullptr;  // Undo and Redo: the undo group makes them
    const Entry& entry = entries[at];
    QAction* action = makeItem(owner, entry.name, entry.caption, entry.shortcut, entry.hint);
    repaintFirst(action, window_);
    // Before the next entry of the same menu that is there already.
    QAction* before = nullptr;
    for (size_t next = at + 1; next < entries.size() && !before; ++next)
        if (entries[next].menu == entry.menu) before = placed_[next];
    (items_.*entry.menu)->insertAction(before, action);
    placed_[at] = action;
    items_.*item = action;
    return action;
}

PopupMenuItems buildPopupMenu(QWidget* owner, QWidget& window) {
    PopupMenuItems p;
    p.PopupMenu1 = new QMenu(owner);
    p.PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    const auto add = [&](const char* name, const char* caption, QKeySequence shortcut) {
        QAction* action = makeItem(p.PopupMenu1, name, caption, shortcut, nullptr);
        p.PopupMenu1->addAction(action);
        repaintFirst(action, window);
        return action;
    };
    p.Cut1 = add("Cut1", "Cu&t", Qt::CTRL | Qt::Key_X);
    p.Copy1 = add("Copy1", "&Copy", Qt::CTRL | Qt::Key_C);
    p.Paste1 = add("Paste1", "&Paste", Qt::CTRL | Qt::Key_V);
    p.Paste1->setEnabled(false);
    p.Delete1 = add("Delete1", "&Delete", Qt::CTRL | Qt::Key_Delete);
    return p;
}

}  // namespace vrn::gui
