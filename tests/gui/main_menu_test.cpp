#include "gui/app/main_menu.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>
#include <vector>

namespace vrn::test {
namespace {

using Items = gui::MainMenuItems;

QString namesIn(const QMenu* menu) {
    QStringList names;
    for (const QAction* a : menu->actions())
        names << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
    return names.join(u' ');
}

// Whichever order the window's parts make their items in, each goes to its place, owned by the
// part that made it.
TEST(MainMenu, ItemsTakeTheirPlacesWhicheverPartMakesThemFirst) {
    const std::vector<QAction* Items::*> made = {
        &Items::OpenGroup,     &Items::SaveGroup,      &Items::OpenSetupFile,   &Items::OpenScreenFile,
        &Items::OpenPgmFile,   &Items::SaveSetupFile,  &Items::SaveScreenFile,  &Items::SavePgmFile,
        &Items::PrintProgram1, &Items::ReconnectUSB,   &Items::FirmwareUpdate1, &Items::AllowCalibration,
        &Items::Exit1,         &Items::GetCollection1, &Items::SendCollection1, &Items::CheckUserProgram1,
        &Items::NextFinding1,  &Items::RxSetup,        &Items::RxScreens,       &Items::RxProgram,
        &Items::TxSetup,       &Items::TxScreens,      &Items::TxUserProgram,   &Items::EraseRecords1,
        &Items::About1};
    struct Row {
        const char* name;
        std::vector<size_t> order;  // indexes into made
    };
    std::vector<size_t> forward(made.size());
    for (size_t i = 0; i < forward.size(); ++i)
        forward[i] = i;
    const std::vector<size_t> backward(forward.rbegin(), forward.rend());
    // The Gets and Sends first, then the rest, as the sections come one by one.
    std::vector<size_t> sections = forward;
    std::rotate(sections.begin(), sections.begin() + 17, sections.end());
    const Row rows[] = {
        {"in the menu's order", forward}, {"backwards", backward}, {"the Gets and Sends first", sections}};

    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QMainWindow window;
        gui::MainMenu menu(window.menuBar(), window);
        std::vector<QObject*> owners;
        for (size_t at : row.order) {
            owners.push_back(new QObject(&window));
            QAction* action = menu.add(made[at], owners.back());
            ASSERT_NE(action, nullptr);
            EXPECT_EQ(action->parent(), owners.back());
            EXPECT_EQ(menu.items().*made[at], action);
        }
        const Items& items = menu.items();
        EXPECT_EQ(namesIn(items.File1),
                  "OpenGroup SaveGroup IndividualOpenSave1 RecentFiles1 - PrintProgram1 - "
                  "ReconnectUSB FirmwareUpdate1 AllowCalibration - Exit1");
        EXPECT_EQ(namesIn(items.IndividualOpenSave1),
                  "OpenSetupFile OpenScreenFile OpenPgmFile - SaveSetupFile SaveScreenFile SavePgmFile");
        EXPECT_EQ(namesIn(items.Commands1),
                  "GetCollection1 SendCollection1 - CheckUserProgram1 NextFinding1 - SpecialCommands1");
        EXPECT_EQ(namesIn(items.SpecialCommands1), "IndividualGetSendCommands1 EraseRecords1");
        EXPECT_EQ(namesIn(items.IndividualGetSendCommands1),
                  "RxSetup RxScreens RxProgram - TxSetup TxScreens TxUserProgram");
        EXPECT_EQ(namesIn(items.Help1), "About1");
    }
}

}  // namespace
}  // namespace vrn::test
