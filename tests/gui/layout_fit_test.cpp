// Every page and dialog shows each of its texts whole in the font the system gives. The test runs
// as it is with DejaVu Sans, and once more under QT_SCALE_FACTOR=1.25 (see CMakeLists.txt).
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFontInfo>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "core/program/catalogue.h"
#include "gui/app/form_about.h"
#include "gui/program/edit_box_dialog.h"
#include "gui/program/edit_type_dialog.h"
#include "gui/records/form_records_chart.h"
#include "gui/service/form_calibrate.h"
#include "gui_rig.h"
#include "sim/instrument.h"
#include "sim/station.h"
#include "text_fit.h"

namespace vrn::test {
namespace {

// The system's font, in DejaVu Sans whatever the family asked for resolves to here.
class DejaVuFont {
public:
    explicit DejaVuFont(double sizeFactor = 1) : saved_(QApplication::font()) {
        QFont font = saved_;
        font.setFamily(QStringLiteral("DejaVu Sans"));
        font.setPointSizeF(font.pointSizeF() * sizeFactor);
        QApplication::setFont(font);
    }
    ~DejaVuFont() { QApplication::setFont(saved_); }
    DejaVuFont(const DejaVuFont&) = delete;
    DejaVuFont& operator=(const DejaVuFont&) = delete;

private:
    QFont saved_;
};

// The window on a configured station, with its Setup and program got, so the texts are real ones.
struct FitRig : GuiRig {
    DejaVuFont font;
    explicit FitRig(double sizeFactor = 1) : font(sizeFactor) {
        sim::configureStation(device.instrument);
        start();
        EXPECT_TRUE(showPrepared());
        form->menu().RxSetup->trigger();
        form->menu().RxProgram->trigger();
    }
};

QString misfitsIn(QWidget* root, const QString& where) {
    QApplication::processEvents();
    const QStringList misfits = unfitTexts(root);
    return misfits.isEmpty() ? QString()
                             : where + QStringLiteral(":\n  ") + misfits.join(QStringLiteral("\n  ")) + u'\n';
}

// The choice list with the widest text, which the choice dialog must show whole.
std::vector<std::string> widestChoices() {
    std::vector<std::string> widest;
    size_t widestLength = 0;
    for (int kind = 5; kind <= 34; ++kind) {
        const ChoiceList* list = choiceList(static_cast<uint8_t>(kind));
        if (list == nullptr) continue;
        for (size_t i = 0; i < list->count; ++i) {
            if (list->texts[i].size() <= widestLength) continue;
            widestLength = list->texts[i].size();
            widest.assign(list->texts.begin(), list->texts.begin() + list->count);
        }
    }
    return widest;
}

TEST(LayoutFit, TheFontIsDejaVuSans) {
    DejaVuFont font;
    EXPECT_EQ(QFontInfo(QApplication::font()).family(), "DejaVu Sans")
        << "install fonts-dejavu-core: the fit tests measure with it";
}

TEST(LayoutFit, EveryPageShowsItsTextsWhole) {
    FitRig rig;
    QTabWidget* tabs = rig.form->pageControl();
    QString misfits;
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        misfits += misfitsIn(tabs->widget(i), tabs->tabText(i));
    }
    misfits += misfitsIn(rig.form.get(), QStringLiteral("the window around the pages"));
    EXPECT_TRUE(misfits.isEmpty()) << misfits.toStdString();
}

// A desktop's larger text: the pages grow, and the window with them, so every text still fits.
TEST(LayoutFit, EveryPageShowsItsTextsWholeInALargerFont) {
    FitRig rig(1.25);
    QTabWidget* tabs = rig.form->pageControl();
    QString misfits;
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        misfits += misfitsIn(tabs->widget(i), tabs->tabText(i));
    }
    misfits += misfitsIn(rig.form.get(), QStringLiteral("the window around the pages"));
    EXPECT_TRUE(misfits.isEmpty()) << misfits.toStdString();
    EXPECT_GT(rig.form->width(), gui::TFormMain::kClientWidth);
    EXPECT_EQ(rig.form->minimumSize(), rig.form->maximumSize()) << "a fixed size all the same";
}

TEST(LayoutFit, EveryDialogShowsItsTextsWhole) {
    FitRig rig;
    QString misfits;
    for (const char* name : {"TFormEditInt", "TFormEditFloat", "TFormEditHex", "TFormEditText",
                             "TFormCalibrate", "TFormAbout"}) {
        auto* dialog = rig.form->findChild<QDialog*>(QString::fromLatin1(name));
        ASSERT_NE(dialog, nullptr) << name;
        dialog->show();
        misfits += misfitsIn(dialog, QString::fromLatin1(name));
        dialog->hide();
    }

    auto* choice = rig.form->findChild<gui::TFormEditType*>(QStringLiteral("TFormEditType"));
    ASSERT_NE(choice, nullptr);
    // A short list first: the dialog is reused, and a longer list later must fit all the same.
    whenModal<QDialog>(
        QStringLiteral("Edit Parameter Type"), [](QDialog& d) { d.reject(); }, choice);
    choice->run({"ON", "OFF"}, 0);
    whenModal<QDialog>(
        QStringLiteral("Edit Parameter Type"),
        [&misfits](QDialog& d) {
            misfits += misfitsIn(&d, QStringLiteral("TFormEditType"));
            d.reject();
        },
        choice);
    choice->run(widestChoices(), 0);

    rig.form->pageControl()->setCurrentWidget(rig.form->pages().TabSheetRecords);
    rig.form->findChild<QPushButton*>(QStringLiteral("ButtonPlot"))->click();
    auto* chart = rig.form->findChild<gui::TFormRecordsChart*>(QStringLiteral("FormRecordsChart"));
    ASSERT_NE(chart, nullptr);
    misfits += misfitsIn(chart, QStringLiteral("FormRecordsChart"));
    chart->hide();
    EXPECT_TRUE(misfits.isEmpty()) << misfits.toStdString();
}

}  // namespace
}  // namespace vrn::test
