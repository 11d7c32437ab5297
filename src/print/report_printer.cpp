#include "print/report_printer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryFile>

#include "core/io/file_store.h"
#include "core/screens/pixel_sink.h"
#include "core/workspace/report_canvas.h"
#include "core/workspace/report_layout.h"

namespace vrn::print {
namespace {

// The report's canvas on an active painter of the printer, in its printable area's pixels.
class PrinterCanvas final : public workspace::ReportCanvas {
public:
    PrinterCanvas(QPrinter& printer, QPainter& painter) : printer_(printer), painter_(painter) {}

    int pageWidth() const override { return printer_.width(); }
    int pageHeight() const override { return printer_.height(); }
    void setTextColour(screens::Rgb colour) override {
        painter_.setPen(QColor::fromRgb(0xFF000000U | colour));
    }
    void textAt(int x, int y, std::string_view text) override {
        const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
        painter_.drawText(x, y + painter_.fontMetrics().ascent(), s);
    }
    void picture(int x, int y, int width, int height, const screens::PixelBuffer& pixels) override {
        QImage image(pixels.width(), pixels.height(), QImage::Format_RGB32);
        for (int py = 0; py < pixels.height(); ++py)
            for (int px = 0; px < pixels.width(); ++px)
                image.setPixel(px, py, 0xFF000000U | pixels.at(px, py));
        painter_.drawImage(QRect(x, y, width, height), image);
    }
    void newPage() override { printer_.newPage(); }

private:
    QPrinter& printer_;
    QPainter& painter_;
};

}  // namespace

bool printReport(QPrinter& printer, const workspace::ReportInput& input, QString& error) {
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setDocName(QString::fromStdString(input.groupName));
    QPainter painter;
    if (!painter.begin(&printer)) {
        error = QStringLiteral("The printer could not start the report.");
        return false;
    }
    QFont font(QString::fromLatin1(kReportFont));
    font.setPointSize(kReportPointSize);
    painter.setFont(font);
    PrinterCanvas canvas(printer, painter);
    workspace::layOutReport(canvas, input);
    if (!painter.end()) {
        error = QStringLiteral("The printer could not finish the report.");
        return false;
    }
    return true;
}

bool printReportToPdf(const QString& path, const workspace::ReportInput& input, QString& error) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    return printReport(printer, input, error);
}

namespace {

bool endsWithPdfEnd(const std::vector<uint8_t>& bytes) {
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.remove_suffix(1);
    return text.ends_with("%%EOF");
}

}  // namespace

// QPrinter writes straight into its output file, so it draws into a temporary file of its own
// (never a name a user's file may have), which is then stored as a whole. It lives in the temporary
// folder: the target's path is bytes that a QString need not hold.
bool saveReportPdf(const std::string& path, const workspace::ReportInput& input, FileStore& files,
                   std::string& error) {
    if (!files.canCreate(path, error)) return false;
    QTemporaryFile partial(QDir(QDir::tempPath()).filePath(QStringLiteral(".vrncomm-report-XXXXXX.pdf")));
    if (!partial.open()) {
        error = partial.errorString().toStdString();
        return false;
    }
    partial.close();
    QString printError;
    if (!printReportToPdf(partial.fileName(), input, printError)) {
        error = printError.toStdString();
        return false;
    }
    const qint64 size = QFileInfo(partial.fileName()).size();
    const auto bytes =
        files.readFile(QFile::encodeName(partial.fileName()).toStdString(), static_cast<size_t>(size), error);
    // QPrinter does not report a write that fell short: a whole PDF ends with its end mark.
    if (!bytes || bytes->size() != static_cast<size_t>(size) || !endsWithPdfEnd(*bytes)) {
        if (error.empty()) error = "the report was not drawn whole";
        return false;
    }
    return files.writeFile(path, *bytes, error);
}

}  // namespace vrn::print
