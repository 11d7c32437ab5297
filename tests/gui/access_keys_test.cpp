#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QShortcutEvent>
#include <QTabWidget>
#include <QTest>
#include <map>
#include <vector>

#include "gui_rig.h"

namespace vrn::test {
namespace {

// Keeps every shortcut event the application delivers instead of letting it act, so a key reaches
// its owner without clicking a button or opening a menu.
class ShortcutCatcher : public QObject {
public:
    struct Caught {
        QObject* receiver;
        QKeySequence key;
        bool ambiguous;
    };
    std::vector<Caught> caught;

    ShortcutCatcher() { qApp->installEventFilter(this); }
    ~ShortcutCatcher() override { qApp->removeEventFilter(this); }
    ShortcutCatcher(const ShortcutCatcher&) = delete;
    ShortcutCatcher& operator=(const ShortcutCatcher&) = delete;

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override {
        if (event->type() != QEvent::Shortcut) return false;
        const auto* se = static_cast<QShortcutEvent*>(event);
        caught.push_back({receiver, se->key(), se->isAmbiguous()});
        return true;
    }
};

// The name of what a caught key reached: a control by its name, a menu of the bar by the menu's name.
QString ownerOf(const ShortcutCatcher::Caught& c) {
    auto* bar = qobject_cast<QMenuBar*>(c.receiver);
    if (bar == nullptr) return c.receiver->objectName();
    for (QAction* a : bar->actions())
        if (QKeySequence::mnemonic(a->text()) == c.key) return a->objectName();
    return QStringLiteral("an unknown menu of the bar");
}

// Each Alt+letter on each page reaches the one control or menu whose caption marks that letter;
// only where two captions of the window mark the same letter do they share it (C: the Commands
// menu and the Clear Screen, Collapse All and Clear Text buttons).
TEST(AccessKeys, EachAltKeyReachesItsOwnerOnEveryPage) {
    GuiRig rig;
    rig.start();
    gui::TFormMain& form = *rig.form;
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));

    // The menu bar's keys hold on every page.
    const std::map<char, QStringList> menus = {
        {'F', {"File1"}}, {'T', {"Edit1"}}, {'C', {"Commands1"}}, {'H', {"Help1"}}};
    const struct {
        const char* page;
        std::map<char, QStringList> keys;
    } pages[] = {
        {"TabSheetSetup", {}},
        {"TabSheetScreen",
         {{'E', {"ButtonStartEdit"}},
          {'P', {"ButtonStopEdit"}},
          {'C', {"ButtonScreenClr"}},
          {'M', {"RadioButtonFontSmall"}},
          {'L', {"RadioButtonFontBig"}}}},
        {"TabSheetUserPgm",
         {{'E', {"ButtonEditPgm"}},
          {'I', {"ButtonInsPgm"}},
          {'D', {"ButtonDelPgm"}},
          {'N', {"ButtonNewPgm"}},
          {'X', {"ButtonExpand"}},
          {'C', {"ButtonCollapse"}}}},
        {"TabSheetRecords",
         {{'G', {"ButtonGetRecords"}},
          {'S', {"ButtonStopRecords"}},
          {'P', {"ButtonPlot"}},
          {'C', {"ButtonClearRecText"}}}},
        {"TabSheetTests", {}},
        {"TabSheetCalib", {}},
    };
    auto* tabs = form.findChild<QTabWidget*>(QStringLiteral("PageControlMain"));
    ASSERT_NE(tabs, nullptr);
    for (const auto& page : pages) {
        SCOPED_TRACE(page.page);
        QWidget* sheet = form.findChild<QWidget*>(QString::fromLatin1(page.page));
        ASSERT_NE(sheet, nullptr);
        tabs->setCurrentWidget(sheet);
        // Every control as it is once the page is in use (Stop Edit, Edit Parameter, ...).
        for (QWidget* w : sheet->findChildren<QWidget*>())
            w->setEnabled(true);
        QApplication::processEvents();
        for (char letter = 'A'; letter <= 'Z'; ++letter) {
            SCOPED_TRACE(std::string("Alt+") + letter);
            QStringList owners = menus.count(letter) != 0 ? menus.at(letter) : QStringList{};
            if (page.keys.count(letter) != 0) owners += page.keys.at(letter);
            ShortcutCatcher catcher;
            QWidget* target = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : &form;
            QTest::keyClick(target, static_cast<Qt::Key>(Qt::Key_A + (letter - 'A')), Qt::AltModifier);
            if (owners.isEmpty()) {
                EXPECT_TRUE(catcher.caught.empty()) << ownerOf(catcher.caught.front()).toStdString();
                continue;
            }
            if (catcher.caught.size() != 1) {
                ADD_FAILURE() << catcher.caught.size() << " controls took the key";
                continue;
            }
            const ShortcutCatcher::Caught& got = catcher.caught.front();
            EXPECT_TRUE(owners.contains(ownerOf(got))) << ownerOf(got).toStdString();
            // A key two captions mark is shared; any other reaches its owner at the first press.
            EXPECT_EQ(got.ambiguous, owners.size() > 1) << owners.join(QStringLiteral(", ")).toStdString();
        }
    }
}

}  // namespace
}  // namespace vrn::test
