#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTabWidget>

#include "core/program/program_file.h"
#include "core/program/program_tree.h"
#include "core/program/transfer_image.h"
#include "core/screens/pixel_sink.h"
#include "core/screens/screen_drawing.h"
#include "core/screens/screen_store.h"
#include "core/setup/setup_file.h"
#include "core/setup/setup_model.h"
#include "core/workspace/report_canvas.h"
#include "core/workspace/report_layout.h"
#include "gui/screens/screens_section.h"
#include "gui/service/service_section.h"
#include "gui/setup/setup_section.h"
#include "gui_rig.h"
#include "print/bmp_picture.h"
#include "print/report_printer.h"
#include "sim/sim_state.h"

namespace vrn::test {
namespace {

// Pages of a PDF as Qt writes them: one "/Type /Page" object each (the tree's node is "/Pages").
int pdfPageCount(const QByteArray& pdf) {
    int pages = 0;
    for (qsizetype at = pdf.indexOf("/Type /Page"); at >= 0; at = pdf.indexOf("/Type /Page", at + 1))
        if (at + 11 >= pdf.size() || pdf[at + 11] != 's') ++pages;
    return pages;
}

// Counts the pages the layout asks for.
struct PageCounter final : workspace::ReportCanvas {
    int pageWidth() const override { return 4800; }
    int pageHeight() const override { return 6300; }
    void setTextColour(screens::Rgb) override {}
    void textAt(int, int, std::string_view) override {}
    void picture(int, int, int, int, const screens::PixelBuffer&) override {}
    void newPage() override { ++pages; }
    int pages = 1;
};

TEST(WorkspacePrint, BitmapPictureReadsBackAsTheSamePixels) {
    screens::ScreenStore store;
    for (int c = 0; c < screens::kColumns; c += 3)
        store.setCell(2, c % 6, c, static_cast<uint8_t>(c % 2 ? 'W' : 0xC1));
    screens::PixelBuffer picture(screens::kPictureWidth, screens::kPictureHeight, screens::kWhite);
    screens::drawPicture(picture, store, 2);
    const std::vector<uint8_t> bmp = print::bmpPicture(picture);
    ASSERT_GT(bmp.size(), 54u);
    EXPECT_EQ(bmp[0], 'B');
    const QImage back = QImage::fromData(bmp.data(), static_cast<int>(bmp.size()), "BMP");
    ASSERT_EQ(back.size(), QSize(480, 96));
    int black = 0;
    for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 480; ++x) {
            const bool dark = qGray(back.pixel(x, y)) < 128;
            ASSERT_EQ(dark, picture.at(x, y) == screens::kBlack) << x << "," << y;
            black += dark ? 1 : 0;
        }
    EXPECT_GT(black, 100);
}

TEST(WorkspacePrint, ReportPdfHasTheListingPagesAndTwoScreenPages) {
    struct Row {
        const char* name;
        int instructions;
        int atLeastPages;
    } rows[] = {
        {"smallest", 0, 3},
        {"long", 200, 5},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        QTemporaryDir dir;
        setup::SetupModel setup;
        ProgramTree tree;
        for (int i = 0; i < r.instructions; ++i)
            tree.append(tree.append({}, "INPUT VOLTAGE"), "Channel: 1");
        tree.append({}, "PGM END");
        screens::ScreenStore store;
        store.setCell(0, 0, 0, 'A');
        const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
        QString error;
        ASSERT_TRUE(print::printReportToPdf(pdf, {setup, tree, store, "mast", {2026, 7, 4, 0, 0, 0}}, error))
            << error.toStdString();
        QFile f(pdf);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const workspace::ReportInput input{setup, tree, store, "mast", {2026, 7, 4, 0, 0, 0}};
        PageCounter laidOut;
        workspace::layOutReport(laidOut, input);
        EXPECT_GE(laidOut.pages, r.atLeastPages);
        const int pages = pdfPageCount(f.readAll());
        EXPECT_EQ(pages, laidOut.pages);

        const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
        if (pdftoppm.isEmpty()) continue;
        QProcess render;
        render.start(pdftoppm, {QStringLiteral("-r"), QStringLiteral("20"), QStringLiteral("-png"), pdf,
                                dir.filePath(QStringLiteral("page"))});
        ASSERT_TRUE(render.waitForFinished(30000));
        EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("page*.png")}).size(), pages);
    }
}

struct WorkspaceRig : GuiRig {
    WorkspaceRig() { start(); }
    QString memo() { return form->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"))->toPlainText(); }
};

TEST(WorkspaceWindow, GetAllFromTheMenuRestoresThePage) {
    WorkspaceRig rig;
    rig.form->pageControl()->setCurrentWidget(rig.form->pages().TabSheetRecords);
    rig.device.instrument.state.setup.interval = 42;
    onNextBox(nullptr, QMessageBox::Yes);
    rig.form->menu().GetCollection1->trigger();
    EXPECT_EQ(rig.form->pageControl()->currentWidget(), rig.form->pages().TabSheetRecords);
    EXPECT_TRUE(rig.memo().endsWith(QStringLiteral("FINISHED GETTING SETUP/SCREENS/PROGRAM.")))
        << rig.memo().toStdString();
    EXPECT_EQ(rig.form->setupSection().model().interval(), 42);
}

// Accepts the next file dialog with path, then answers the box that follows it.
void onNextFileThenBox(const QString& path, QMessageBox::StandardButton answer) {
    whenModal<QFileDialog>(QStringLiteral("file"), [path, answer](QFileDialog& dialog) {
        if (answer != QMessageBox::NoButton) onNextBox(nullptr, answer);
        dialog.selectFile(path);
        static_cast<QDialog&>(dialog).accept();
    });
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

std::span<const uint8_t> asBytes(const QByteArray& b) {
    return {reinterpret_cast<const uint8_t*>(b.constData()), static_cast<size_t>(b.size())};
}

TEST(WorkspaceWindow, FirmwareBackupLeavesTheWindowsWorkAsItWas) {
    const struct Row {
        const char* name;
        QMessageBox::StandardButton answer;
        const char* lastLine;
    } rows[] = {
        {"answered No", QMessageBox::No, "FLASH UPDATE CANCELLED."},
        {"answered Yes", QMessageBox::Yes, "FINISHED FIRMWARE UPDATE."},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        WorkspaceRig rig;
        sim::State& instrument = rig.device.instrument.state;
        instrument.setup.interval = 42;
        instrument.screens[0] = 'Q';
        QTemporaryDir dir;
        // A saved group gives the window a name; the edits after it are unsaved.
        onNextFileThenBox(dir.filePath(QStringLiteral("mine.ssp")), QMessageBox::NoButton);
        rig.form->menu().SaveGroup->trigger();
        ASSERT_EQ(rig.form->serviceSection().currentGroupName(), "mine");
        rig.form->setupSection().model().setInterval(7);
        rig.form->screensSection().store().setCell(0, 0, 0, 'W');
        rig.form->program().tree.insert({0}, "ALARM");
        const std::string treeBefore = programTreeText(rig.form->program().tree);
        const QByteArray screensBefore(
            reinterpret_cast<const char*>(rig.form->screensSection().store().bytes().data()),
            screens::kStoreBytes);
        rig.form->pageControl()->setCurrentWidget(rig.form->pages().TabSheetRecords);

        const QString firmware = dir.filePath(QStringLiteral("new.glo"));
        QFile glo(firmware);
        ASSERT_TRUE(glo.open(QIODevice::WriteOnly));
        glo.write("S0030000FC\r\nS1050000AABB95\r\nS9030000FC\r\n");
        glo.close();
        onNextFileThenBox(firmware, r.answer);
        rig.form->menu().FirmwareUpdate1->trigger();

        EXPECT_EQ(rig.form->setupSection().model().interval(), 7);
        EXPECT_EQ(rig.form->screensSection().store().cell(0, 0, 0), 'W');
        EXPECT_EQ(programTreeText(rig.form->program().tree), treeBefore);
        EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(rig.form->screensSection().store().bytes().data()),
                             screens::kStoreBytes),
                  screensBefore);
        EXPECT_EQ(rig.form->serviceSection().currentGroupName(), "mine");
        EXPECT_EQ(rig.form->pageControl()->currentWidget(), rig.form->pages().TabSheetRecords);

        const QStringList groups = QDir(dir.path()).entryList({QStringLiteral("41700 backup *.ssp")});
        ASSERT_EQ(groups.size(), 1);
        const QString group = dir.filePath(groups[0]);
        const QStringList memo = rig.memo().split(u'\n');
        EXPECT_TRUE(memo.contains(QStringLiteral("BACKUP WRITTEN TO ") + group)) << rig.memo().toStdString();
        EXPECT_EQ(memo.last(), r.lastLine) << rig.memo().toStdString();

        // The backup holds what the instrument held.
        const QString base = group.chopped(4);
        setup::SetupModel backedUpSetup;
        setup::readSetupFile(asBytes(fileBytes(base + QStringLiteral(".set"))), backedUpSetup);
        EXPECT_EQ(backedUpSetup.interval(), 42);
        const QByteArray backedUpScreens = fileBytes(base + QStringLiteral(".scr"));
        EXPECT_EQ(backedUpScreens,
                  QByteArray(reinterpret_cast<const char*>(instrument.screens.data()), screens::kStoreBytes));
        ProgramModel backedUpProgram, instrumentProgram;
        EXPECT_FALSE(readProgramFile(asBytes(fileBytes(base + QStringLiteral(".pgm"))), backedUpProgram));
        ASSERT_FALSE(decodeTransferImage(sim::defaultProgramImage(), instrumentProgram).failed);
        EXPECT_EQ(programTreeText(backedUpProgram.tree), programTreeText(instrumentProgram.tree));
        EXPECT_GT(instrumentProgram.tree.topLevel().size(), 1u);
    }
}

}  // namespace
}  // namespace vrn::test
