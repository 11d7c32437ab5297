#include "gui/records/records_page.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <optional>

#include "core/link/timer1.h"
#include "core/setup/setup_file.h"
#include "core/setup/setup_model.h"
#include "gui/app/change_tracker.h"
#include "gui/records/records_section.h"
#include "gui/setup/setup_section.h"
#include "gui_rig.h"

namespace vrn::test {
namespace {

struct RecordsRig : GuiRig {
    void begin() {
        start();
        form->show();
        form->pageControl()->setCurrentWidget(form->pages().TabSheetRecords);
    }
    void writePrefs(const QByteArray& text) {
        QDir().mkpath(QFileInfo(prefsPath).absolutePath());
        QFile f(prefsPath);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
};

// Accepts the next save dialog with path, or cancels it when path is empty.
void onNextSaveDialog(const QString& path) {
    whenModal<QFileDialog>(QStringLiteral("save"), [path](QFileDialog& dialog) {
        if (path.isEmpty()) {
            dialog.reject();
            return;
        }
        dialog.selectFile(path);
        static_cast<QDialog&>(dialog).accept();
    });
}

// Accepts the next save dialogs with the paths, one after the other.
void onSaveDialogs(QStringList paths) {
    if (paths.isEmpty()) return;
    const QString first = paths.takeFirst();
    whenModal<QFileDialog>(QStringLiteral("save"), [first, paths](QFileDialog& dialog) {
        onSaveDialogs(paths);
        dialog.selectFile(first);
        static_cast<QDialog&>(dialog).accept();
    });
}

// Closes the next box with OK, then answers the box after it, keeping that one's text.
void afterNotice(QString& asked, QMessageBox::StandardButton answer) {
    onNextBox(
        [&asked, answer](QMessageBox& notice) {
            QObject::connect(&notice, &QDialog::finished, [&asked, answer] {
                onNextBox([&asked](QMessageBox& box) { asked = box.text(); }, answer);
            });
        },
        QMessageBox::Ok);
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(RecordsPage, ControlsAndTheirPreferences) {
    RecordsRig rig;
    rig.writePrefs("[41700 Setup]\nShow Records=1\nNum of Records=250\n");
    rig.begin();
    EXPECT_EQ(rig.find<QPushButton>("ButtonGetRecords")->text(), "&Get Records");
    EXPECT_EQ(rig.find<QPushButton>("ButtonClearRecText")->text(), "&Clear Text");
    auto* show = rig.find<QCheckBox>("CheckBoxShowRecs");
    EXPECT_EQ(show->text(), "Show Records");
    EXPECT_EQ(show->toolTip(), "Show retrieved records in text window.");
    EXPECT_TRUE(show->isChecked());
    auto* combo = rig.find<QComboBox>("ComboBoxDelimiter");
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(0), "Space");
    EXPECT_EQ(combo->itemText(2), "Tab");
    EXPECT_EQ(combo->currentText(), "Comma");
    auto* spin = rig.find<QSpinBox>("CSpinEditNumOfRecs");
    EXPECT_EQ(spin->value(), 250);
    EXPECT_EQ(spin->minimum(), 1);
    EXPECT_EQ(spin->maximum(), 999999999);
    auto* memo = rig.find<QPlainTextEdit>("MemoRecs");
    EXPECT_TRUE(memo->isReadOnly());

    // Letters are not typed; the changed options go to the preferences file when the window closes.
    spin->selectAll();
    QTest::keyClicks(spin, "7x5");
    show->setChecked(false);
    rig.form->close();
    const QByteArray ini = readAll(rig.prefsPath);
    EXPECT_TRUE(ini.contains("Show Records=0")) << ini.toStdString();
    EXPECT_TRUE(ini.contains("Num of Records=75")) << ini.toStdString();
}

TEST(RecordsPage, EnterInTheNumberBoxGetsAndShowsTheRecords) {
    RecordsRig rig;
    rig.begin();
    sim::SimSetup& d = rig.device.instrument.state.setup;
    d.fieldsPerRecord = 2;
    d.fields[1].type = 2;
    rig.find<QCheckBox>("CheckBoxShowRecs")->setChecked(true);
    rig.find<QComboBox>("ComboBoxDelimiter")->setCurrentIndex(2);
    auto* spin = rig.find<QSpinBox>("CSpinEditNumOfRecs");
    spin->selectAll();
    QTest::keyClicks(spin, "3");
    auto* memo = rig.find<QPlainTextEdit>("MemoRecs");
    memo->setPlainText(QStringLiteral("kept\n"));
    memo->moveCursor(QTextCursor::End);

    const QString path = rig.dir.path() + QStringLiteral("/day.txt");
    onNextBox(nullptr, QMessageBox::Ok);  // the record format is read from the instrument
    onNextSaveDialog(path);
    QTest::keyClick(spin, Qt::Key_Return);

    const QByteArray file = readAll(path);
    EXPECT_TRUE(file.startsWith("3 RECORDS\r\n")) << file.toStdString();
    const QStringList lines = memo->toPlainText().split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 4) << memo->toPlainText().toStdString();
    EXPECT_EQ(lines[0], "kept");
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("0000001\t"))) << lines[1].toStdString();
    EXPECT_TRUE(lines[3].startsWith(QStringLiteral("0000003\t"))) << lines[3].toStdString();
    EXPECT_EQ(lines[1].count(QLatin1Char('\t')), 2);
    EXPECT_TRUE(rig.find<QPushButton>("ButtonGetRecords")->isEnabled());
    EXPECT_TRUE(rig.form->timer().enabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(rig.find<QProgressBar>("ProgressBar")->value(), 0);
    EXPECT_TRUE(rig.find<QPlainTextEdit>("Memo1")->toPlainText().endsWith(QStringLiteral("FINISHED")));

    QTest::mouseClick(rig.find<QPushButton>("ButtonClearRecText"), Qt::LeftButton);
    EXPECT_TRUE(memo->toPlainText().isEmpty());
}

// The window with an instrument that holds fewer records than asked: the question names how many
// came and Yes saves them; with All records, the silence ends the download without a question.
TEST(RecordsPage, ShortDownloadsAskAndAllRecordsEndsAtTheSilence) {
    struct Row {
        const char* name;
        bool all;
        std::optional<QMessageBox::StandardButton> answer;  // to "Only 4 of 10 records arrived."
        const char* file;                                   // how the file begins
    };
    const Row rows[] = {
        {"Yes saves the 4 that came", false, QMessageBox::Yes, "4 RECORDS\r\n"},
        {"No writes no file", false, QMessageBox::No, ""},
        {"All records: no question", true, std::nullopt, "4 RECORDS\r\n"},
    };
    for (const Row& row : rows) {
        RecordsRig rig;
        rig.begin();
        rig.device.instrument.state.setup.fieldsPerRecord = 2;
        rig.device.instrument.state.records.logged = 4;
        auto* spin = rig.find<QSpinBox>("CSpinEditNumOfRecs");
        spin->setValue(10);
        auto* all = rig.find<QCheckBox>("CheckBoxAllRecs");
        EXPECT_EQ(all->text(), "All records");
        all->setChecked(row.all);
        EXPECT_EQ(spin->isEnabled(), !row.all) << row.name;
        const QString path = rig.dir.path() + QStringLiteral("/day.txt");
        QString asked;
        // The question comes once the format notice is closed.
        onNextBox(
            [&](QMessageBox& notice) {
                if (!row.answer) return;
                QObject::connect(&notice, &QDialog::finished, [&] {
                    onNextBox([&](QMessageBox& box) { asked = box.text(); }, *row.answer);
                });
            },
            QMessageBox::Ok);
        onNextSaveDialog(path);
        QTest::mouseClick(rig.find<QPushButton>("ButtonGetRecords"), Qt::LeftButton);
        EXPECT_EQ(asked, row.answer ? "Only 4 of 10 records arrived.\n\nSave these 4 records?" : "")
            << row.name;
        EXPECT_EQ(QFile::exists(path), *row.file != '\0') << row.name;
        EXPECT_TRUE(readAll(path).startsWith(row.file)) << row.name << ": " << readAll(path).toStdString();
        // All records: the download, then the instrument's newest records, which end with the last that came.
        const auto& log = rig.device.instrument.commandLog;
        ASSERT_GE(log.size(), 2u) << row.name;
        EXPECT_EQ(log[log.size() - (row.all ? 2 : 1)], row.all ? "CMD340 1081343" : "CMD340 10") << row.name;
        if (row.all) {
            EXPECT_EQ(log.back(), "CMD340 16") << row.name;
        }
        EXPECT_TRUE(rig.find<QPushButton>("ButtonGetRecords")->isEnabled()) << row.name;
        EXPECT_TRUE(rig.form->timer().enabled()) << row.name;
    }
}

// A save that fails after the download, and the request for another file cancelled: the records
// are dropped, and the retrieval says so instead of "FINISHED".
TEST(RecordsPage, RecordsDroppedAfterAFailedSaveEndWithRecordsNotSaved) {
    RecordsRig rig;
    rig.begin();
    rig.device.instrument.state.setup.fieldsPerRecord = 2;
    rig.device.instrument.state.records.logged = 4;
    rig.find<QSpinBox>("CSpinEditNumOfRecs")->setValue(4);
    const QString folder = rig.dir.path() + QStringLiteral("/gone");
    ASSERT_TRUE(QDir().mkpath(folder));
    auto* memo = rig.find<QPlainTextEdit>("Memo1");
    // The folder goes once the download has begun: the file could be created before, not after.
    QObject::connect(memo, &QPlainTextEdit::textChanged, [memo, folder] {
        if (memo->toPlainText().endsWith(QStringLiteral("DOWNLOADING RECORDS...")))
            QDir(folder).removeRecursively();
    });
    QString failure;
    onNextBox(
        [&](QMessageBox& notice) {
            QObject::connect(&notice, &QDialog::finished, [&] {
                onNextBox(
                    [&](QMessageBox& box) {
                        failure = box.text();
                        onNextSaveDialog(QString());
                    },
                    QMessageBox::Ok);
            });
        },
        QMessageBox::Ok);
    onNextSaveDialog(folder + QStringLiteral("/day.txt"));
    QTest::mouseClick(rig.find<QPushButton>("ButtonGetRecords"), Qt::LeftButton);
    EXPECT_TRUE(failure.endsWith(QStringLiteral("choose another file for them."))) << failure.toStdString();
    const QString text = memo->toPlainText();
    const QString retrieval = text.mid(text.lastIndexOf(QStringLiteral("GET RECORDS")));
    EXPECT_TRUE(retrieval.endsWith(QStringLiteral("RECORDS NOT SAVED."))) << retrieval.toStdString();
    EXPECT_FALSE(retrieval.contains(QStringLiteral("FINISHED"))) << retrieval.toStdString();
    EXPECT_TRUE(rig.form->timer().enabled());
}

TEST(RecordsPage, CancelledFileDialogSendsNoRecordCommand) {
    RecordsRig rig;
    rig.begin();
    onNextBox(nullptr, QMessageBox::Ok);
    onNextSaveDialog(QString());
    QTest::mouseClick(rig.find<QPushButton>("ButtonGetRecords"), Qt::LeftButton);
    EXPECT_EQ(rig.device.instrument.commandCounts[340], 0);
    EXPECT_EQ(rig.device.instrument.commandCounts[325], 1);
    EXPECT_TRUE(rig.form->timer().enabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// The retrieval reads the record format into the Setup: a changed Setup is asked about after the
// notice. Cancel keeps the edits and sends nothing; Discard lets the instrument's format replace
// them; Save writes the Setup first.
TEST(RecordsPage, GetRecordsAsksAboutAChangedSetup) {
    for (const QMessageBox::StandardButton answer :
         {QMessageBox::Save, QMessageBox::Discard, QMessageBox::Cancel}) {
        SCOPED_TRACE(answer);
        RecordsRig rig;
        rig.begin();
        rig.device.instrument.state.setup.fieldsPerRecord = 2;
        rig.device.instrument.state.records.logged = 4;
        rig.find<QSpinBox>("CSpinEditNumOfRecs")->setValue(4);
        setup::SetupModel& model = rig.form->setupSection().model();
        model.setFieldsPerRecord(7);
        model.setLabel(0, "MINE");
        const std::vector<uint8_t> edited = setup::writeSetupFile(model);
        ASSERT_TRUE(rig.form->changes().isModified(gui::Part::Setup));
        const QString setupPath = rig.dir.path() + QStringLiteral("/kept.set");
        const QString recordsPath = rig.dir.path() + QStringLiteral("/day.txt");

        const size_t sentBefore = rig.device.instrument.commandLog.size();
        QString asked;
        afterNotice(asked, answer);
        if (answer == QMessageBox::Save)
            onSaveDialogs({setupPath, recordsPath});
        else if (answer == QMessageBox::Discard)
            onSaveDialogs({recordsPath});
        QTest::mouseClick(rig.find<QPushButton>("ButtonGetRecords"), Qt::LeftButton);
        EXPECT_EQ(asked, "Save changes to the Setup?");
        const auto& counts = rig.device.instrument.commandCounts;
        if (answer == QMessageBox::Cancel) {
            EXPECT_EQ(model.fieldsPerRecord(), 7);
            EXPECT_EQ(model.field(0).label, "MINE");
            EXPECT_TRUE(rig.form->changes().isModified(gui::Part::Setup));
            EXPECT_EQ(rig.device.instrument.commandLog.size(), sentBefore) << "nothing sent";
            EXPECT_FALSE(QFile::exists(recordsPath));
        } else {
            EXPECT_EQ(model.fieldsPerRecord(), 2);
            EXPECT_NE(model.field(0).label, "MINE");
            EXPECT_EQ(counts.at(340), 1);
            EXPECT_TRUE(readAll(recordsPath).startsWith("4 RECORDS\r\n"));
        }
        const QByteArray saved = readAll(setupPath);
        EXPECT_EQ(std::vector<uint8_t>(saved.begin(), saved.end()),
                  answer == QMessageBox::Save ? edited : std::vector<uint8_t>{});
        EXPECT_TRUE(rig.form->timer().enabled());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
}

// Stop, Escape or closing the window during a download ask what becomes of the records that came:
// Yes keeps the whole ones, No drops them, Cancel lets the download go on to its end. Closed, the
// window closes once the retrieval has ended, unless the download went on. With All records the
// bar is busy and the page counts the records while they come.
TEST(RecordsPage, StopOrCloseDuringADownloadAsksWhatToKeep) {
    enum class By : uint8_t { Stop, Escape, Close };
    struct Row {
        const char* name;
        By by;
        bool all;
        QMessageBox::StandardButton answer;
        const char* file;  // how the file begins; empty: no file
    };
    const Row rows[] = {
        {"Stop, Yes keeps 12", By::Stop, false, QMessageBox::Yes, "12 RECORDS\r\n"},
        {"Stop, No drops them", By::Stop, false, QMessageBox::No, ""},
        {"Stop, Cancel downloads all", By::Stop, false, QMessageBox::Cancel, "200 RECORDS\r\n"},
        {"Escape, All records, Yes", By::Escape, true, QMessageBox::Yes, "12 RECORDS\r\n"},
        {"close, Yes keeps 12", By::Close, false, QMessageBox::Yes, "12 RECORDS\r\n"},
        {"close, No drops them", By::Close, false, QMessageBox::No, ""},
        {"close, Cancel downloads all", By::Close, true, QMessageBox::Cancel, "200 RECORDS\r\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        RecordsRig rig;
        rig.begin();
        rig.form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(rig.form.get()));
        rig.device.instrument.state.setup.fieldsPerRecord = 2;  // 8 bytes: 12 whole records in 100
        rig.device.instrument.state.records.logged = 200;
        rig.find<QSpinBox>("CSpinEditNumOfRecs")->setValue(200);
        rig.find<QCheckBox>("CheckBoxAllRecs")->setChecked(row.all);
        auto* stop = rig.find<QPushButton>("ButtonStopRecords");
        auto* bar = rig.find<QProgressBar>("ProgressBar");
        auto* soFar = rig.find<QLabel>("LabelRecordsSoFar");
        EXPECT_EQ(stop->text(), "&Stop");
        EXPECT_FALSE(stop->isEnabled());
        const QString path = rig.dir.path() + QStringLiteral("/day.txt");

        // Acts at the first look at the window's events after the first block of records.
        bool stoppable = false;
        bool busy = false;
        QString counted;
        QObject::connect(&rig.form->recordsSection().page(), &gui::RecordsPage::downloadRunningChanged,
                         [&](bool running) {
                             if (!running) return;
                             QTimer::singleShot(0, [&] {
                                 stoppable = stop->isEnabled();
                                 busy = bar->minimum() == 0 && bar->maximum() == 0;
                                 counted = soFar->text();
                                 if (row.by == By::Stop) QTest::mouseClick(stop, Qt::LeftButton);
                                 if (row.by == By::Escape) {
                                     // The closed notice gave the window's activation back; offscreen it
                                     // waits.
                                     rig.form->activateWindow();
                                     EXPECT_TRUE(QTest::qWaitForWindowActive(rig.form.get()));
                                     QTest::keyClick(rig.form.get(), Qt::Key_Escape);
                                 }
                                 if (row.by == By::Close) rig.form->close();
                             });
                         });
        QString asked;
        afterNotice(asked, row.answer);
        onNextSaveDialog(path);
        QTest::mouseClick(rig.find<QPushButton>("ButtonGetRecords"), Qt::LeftButton);
        // The window closes once the retrieval has ended, and the format it read still counts as
        // a change of the Setup.
        const bool closes = row.by == By::Close && row.answer != QMessageBox::Cancel;
        QString setupAsked;
        if (closes) onNextBox([&](QMessageBox& box) { setupAsked = box.text(); }, QMessageBox::Discard);
        QCoreApplication::processEvents();
        EXPECT_EQ(setupAsked, closes ? "Save changes to the Setup?" : "");

        EXPECT_TRUE(stoppable);
        EXPECT_EQ(busy, row.all);
        EXPECT_EQ(counted, row.all ? "12 records so far" : "");
        const QString cut = row.all ? QStringLiteral("The download was cut short after 12 records.")
                                    : QStringLiteral("Only 12 of 200 records arrived.");
        EXPECT_EQ(asked, cut + QStringLiteral("\n\nSave these 12 records?\n\nCancel goes on downloading."));
        EXPECT_EQ(QFile::exists(path), *row.file != '\0');
        EXPECT_TRUE(readAll(path).startsWith(row.file)) << readAll(path).left(20).toStdString();
        EXPECT_EQ(rig.device.instrument.commandCounts[340],
                  row.all && row.answer == QMessageBox::Cancel ? 2 : 1);
        EXPECT_FALSE(stop->isEnabled());
        EXPECT_TRUE(soFar->text().isEmpty());
        EXPECT_NE(bar->maximum(), 0) << "the bar is busy no more";
        EXPECT_EQ(rig.form->isVisible(), !closes);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
}

TEST(RecordsPage, EraseRecordsFromTheMenuAsksFirst) {
    RecordsRig rig;
    rig.begin();
    QString question;
    onNextBox([&](QMessageBox& box) { question = box.text(); }, QMessageBox::No);
    rig.form->menu().EraseRecords1->trigger();
    EXPECT_EQ(question, "Erase ALL Recorded Data in 41700?");
    EXPECT_EQ(rig.device.instrument.commandCounts[345], 0);

    onNextBox(nullptr, QMessageBox::Yes);
    rig.form->menu().EraseRecords1->trigger();
    EXPECT_EQ(rig.device.instrument.commandCounts[345], 1);
    EXPECT_TRUE(
        rig.find<QPlainTextEdit>("Memo1")->toPlainText().endsWith(QStringLiteral("ALL RECORDS ERASED.")));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace vrn::test
