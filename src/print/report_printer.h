#pragma once

#include <QString>
#include <string>

class QPrinter;

namespace vrn {
class FileStore;
}

namespace vrn::workspace {
struct ReportInput;
}

namespace vrn::print {

// The report's font: "Arial" 8 pt, or the system's metric-compatible substitute.
inline constexpr const char* kReportFont = "Arial";
inline constexpr int kReportPointSize = 8;

// Prints the report on the printer in portrait, as a job named after the group. False, with the
// reason, when the printer cannot begin the document.
bool printReport(QPrinter& printer, const workspace::ReportInput& input, QString& error);

// Prints the report as a PDF file.
bool printReportToPdf(const QString& path, const workspace::ReportInput& input, QString& error);

// Prints the report as the PDF file path, which is replaced only once the whole report is drawn
// and stored through files, so a failure leaves an old file whole. False, with the reason.
bool saveReportPdf(const std::string& path, const workspace::ReportInput& input, FileStore& files,
                   std::string& error);

}  // namespace vrn::print
