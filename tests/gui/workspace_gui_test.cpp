#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTabWidget>

#include "core/program/program_tree.h"
#include "core/screens/pixel_sink.h"
#include "core/screens/screen_drawing.h"
#include "core/screens/screen_store.h"
#include "core/setup/setup_model.h"
#include "core/workspace/report_canvas.h"
#include "core/workspace/report_layout.h"
#include "gui/screens/screens_section.h"
#include "gui/service/service_section.h"
#include "gui/setup/setup_section.h"
#include "gui_rig.h"
#include "print/bmp_picture.h"
#include "print/report_printer.h"

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

TEST(WorkspaceWindow, FirmwareBackupIsWiredToAGroupBesideTheFirmware) {
    WorkspaceRig rig;
    gui::ServiceSection& service = rig.form->serviceSection();
    ASSERT_TRUE(service.firmwareBackup);
    ASSERT_TRUE(service.currentGroupName);
    EXPECT_EQ(service.currentGroupName(), "");
    QTemporaryDir dir;
    ASSERT_TRUE(service.firmwareBackup(dir.filePath(QStringLiteral("new.glo")).toStdString()));
    const QStringList groups = QDir(dir.path()).entryList({QStringLiteral("41700 backup *.ssp")});
    ASSERT_EQ(groups.size(), 1);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 13);
    EXPECT_EQ(service.currentGroupName() + ".ssp", groups[0].toStdString());
}

}  // namespace
}  // namespace vrn::test
