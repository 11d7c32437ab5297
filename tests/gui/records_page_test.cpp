#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <optional>

#include "core/link/timer1.h"
#include "gui_rig.h"

namespace vrn::test {
namespace {

struct RecordsRig : GuiRig {
    void begin() {
        start();
        form->show();
        form->pageControl()->setCurrentWidget(form->pages().TabSheetRecords);
    }
    template <typename T>
    T* find(const char* name) {
        T* w = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
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
