#include "core/workspace/report_layout.h"

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "core/program/program_tree.h"
#include "core/screens/screen_drawing.h"
#include "core/screens/screen_store.h"
#include "core/setup/setup_model.h"
#include "core/workspace/report_canvas.h"

namespace vrn::workspace {
namespace {

// The report's own baud names: lower-case k, unlike the Setup page's captions.
constexpr std::array<const char*, setup::kBaudItemCount> kBaudNames = {"1200",  "2400",  "4800",   "9600",
                                                                       "19.2k", "38.4k", "115.2k", "230.4k"};
constexpr std::array<const char*, 12> kMonths = {"January",   "February", "March",    "April",
                                                 "May",       "June",     "July",     "August",
                                                 "September", "October",  "November", "December"};

// Field table columns: number, width, decimal places, label.
constexpr std::array<double, 4> kTableColumns = {0.75, 1.07, 1.44, 1.81};

std::string twoDigits(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

const char* baudName(int index) {
    return index >= 0 && index < setup::kBaudItemCount ? kBaudNames[static_cast<size_t>(index)] : "";
}

const char* onOff(bool on) {
    return on ? "ON" : "OFF";
}

class PrintedPage {
public:
    explicit PrintedPage(ReportCanvas& canvas)
        : canvas_(canvas),
          unitX_(static_cast<float>(canvas.pageWidth()) * 0.125F),
          unitY_(static_cast<float>(canvas.pageHeight()) * 0.0952380952380952F) {}

    int deviceX(double x) const { return static_cast<int>(x * unitX_); }
    int deviceY(double y) const { return static_cast<int>(y * unitY_); }
    void PrintTextAt(double x, double y, const std::string& text) {
        canvas_.textAt(deviceX(x), deviceY(y), text);
    }
    ReportCanvas& canvas() { return canvas_; }

private:
    ReportCanvas& canvas_;
    float unitX_;
    float unitY_;
};

void printParameters(PrintedPage& page, const setup::SetupModel& s, double& y) {
    const double x = kLeftMargin;
    page.PrintTextAt(x, y, "PARAMETERS");
    y += 2 * kLineStep;
    std::vector<std::string> lines = {
        std::string("COM1 Type: ") + (s.com1Type() == 0 ? "RS-232" : "RS-485"),
        std::string("COM1 Baud Rate: ") + baudName(s.com1Baud()),
        std::string("COM2 Baud Rate: ") + baudName(s.com2Baud()),
        std::string("Stop On Error: ") + onOff(s.stopOnError()),
        std::string("Keypad Lockout: ") + onOff(s.keyLock()),
        "Program Execution Interval: " + std::to_string(s.interval()),
        std::string("Screen Scroll: ") + onOff(s.autoScroll()),
    };
    if (s.autoScroll()) {
        lines.push_back("Screen Scroll Pause: " + std::to_string(s.scrollPause()) + " seconds");
        lines.push_back("Screen Scroll End Screen: " + std::to_string(s.scrollEnd()));
    }
    for (const std::string& line : lines) {
        page.PrintTextAt(x, y, line);
        y += kLineStep;
    }
}

void printFieldTable(PrintedPage& page, const setup::SetupModel& s, double& y) {
    constexpr std::array<const char*, 4> kHeads = {"Field", "Width", "DecPt", "Label"};
    for (size_t c = 0; c < kHeads.size(); ++c)
        page.PrintTextAt(kTableColumns[c], y, kHeads[c]);
    y += kLineStep;
    for (int i = 0; i < s.fieldsPerRecord() && i < setup::kFieldCount; ++i) {
        const setup::RecordField& f = s.field(i);
        page.PrintTextAt(kTableColumns[0], y, twoDigits(i + 1));
        std::string label = f.label;
        if (label.size() < 25) label.append(25 - label.size(), ' ');
        if (f.type == static_cast<int32_t>(setup::FieldType::Number)) {
            page.PrintTextAt(kTableColumns[1], y, std::to_string(f.width));
            page.PrintTextAt(kTableColumns[2], y, std::to_string(f.precision));
            page.PrintTextAt(kTableColumns[3], y, label);
        } else if (f.type == static_cast<int32_t>(setup::FieldType::Date) ||
                   f.type == static_cast<int32_t>(setup::FieldType::Time)) {
            page.PrintTextAt(kTableColumns[3], y, label);
        }
        y += kLineStep;
    }
}

void printListing(PrintedPage& page, const ProgramTree& tree, double& y) {
    double x = kLeftMargin;
    int counter = 1;
    int column = 0;
    tree.forEach([&](size_t depth, const std::string& text) {
        if (depth > 0) {
            page.PrintTextAt(x + kParameterIndent, y, text);
            y += kLineStep;
            return;
        }
        y += kLineStep;
        if (y > kListingBottom) {
            if (++column == kListingColumns) {
                page.canvas().newPage();
                column = 0;
                x = kLeftMargin;
            } else {
                x += kColumnStep;
            }
            y = kPageTop;
        }
        char number[16];
        std::snprintf(number, sizeof number, "%03i ", counter);
        page.PrintTextAt(x, y, number + text);
        y += kLineStep;
        ++counter;
    });
}

void drawGrid(screens::PixelBuffer& picture) {
    using screens::kPictureHeight;
    using screens::kPictureWidth;
    for (int k = 0; k <= 5; ++k)
        picture.fillRect(0, 16 * k, kPictureWidth, 1, k % 2 == 0 ? kDarkGrey : kLightGrey);
    picture.fillRect(0, kPictureHeight - 1, kPictureWidth, 1, kDarkGrey);
    for (int k = 0; k < screens::kColumns; ++k)
        picture.fillRect(12 * k, 0, 1, kPictureHeight, k % 2 == 0 ? kDarkGrey : kLightGrey);
    picture.fillRect(kPictureWidth - 1, 0, 1, kPictureHeight, kDarkGrey);
}

// One page of four screens; the second page's block rulers are darker and count blocks by their
// last digit.
void printScreenPage(PrintedPage& page, const screens::ScreenStore& store, int firstScreen,
                     screens::PixelBuffer& work) {
    const bool second = firstScreen >= 4;
    ReportCanvas& canvas = page.canvas();
    canvas.newPage();
    const double x = 1.0;
    double y = kPageTop;
    for (int screen = firstScreen; screen < firstScreen + 4; ++screen) {
        page.PrintTextAt(x, y, "Screen " + std::to_string(screen + 1));
        y += 3 * kLineStep;
        work.fillRect(0, 0, work.width(), work.height(), screens::kWhite);

        canvas.setTextColour(second ? kDarkGrey : kLightGrey);
        for (int k = 0; k < 3; ++k)
            page.PrintTextAt(0.75, y + k / 3.0 + 1.0 / 12.0, std::to_string(k + 1));
        for (int k = 0; k < 20; ++k) {
            if (second)
                page.PrintTextAt(1.0925 + 0.25 * k, y - 0.3, std::to_string((k + 1) % 10));
            else
                page.PrintTextAt(1.0625 + 0.25 * k, y - 0.3, twoDigits(k + 1));
        }
        canvas.setTextColour(kLightGrey);
        for (int k = 0; k < screens::kRows; ++k)
            page.PrintTextAt(0.9, y + k / 6.0 + 0.03, std::to_string(k + 1));
        for (int k = 0; k < screens::kColumns; ++k)
            page.PrintTextAt(1.03 + 0.125 * k, y - 0.15, std::to_string((k + 1) % 10));
        canvas.setTextColour(screens::kBlack);

        drawGrid(work);
        for (int r = 0; r < screens::kRows; ++r)
            for (int c = 0; c < screens::kColumns; ++c)
                screens::DrawPictureCell(work, r, c, store.cell(screen, r, c));
        canvas.picture(page.deviceX(x), page.deviceY(y), page.deviceX(5.0), page.deviceY(1.0), work);
        y += 1.5;
    }
}

}  // namespace

std::string reportDate(const LocalDateTime& day) {
    const int month = day.month >= 1 && day.month <= 12 ? day.month : 1;
    char text[48];
    std::snprintf(text, sizeof text, "%s %02d, %04d", kMonths[static_cast<size_t>(month - 1)], day.day,
                  day.year);
    return text;
}

void layOutReport(ReportCanvas& canvas, const ReportInput& input) {
    PrintedPage page(canvas);
    canvas.setTextColour(screens::kBlack);
    double y = kPageTop;
    for (const std::string& line :
         {std::string("VARNO MODEL 41700"), std::string("METEOROLOGICAL TRANSLATOR"), reportDate(input.today),
          input.groupName}) {
        page.PrintTextAt(kLeftMargin, y, line);
        y += kLineStep;
    }
    // y is one step below the group name: a skip of one line puts it two steps below.
    y += kLineStep;
    printParameters(page, input.setup, y);
    printFieldTable(page, input.setup, y);
    y += kLineStep;
    page.PrintTextAt(kLeftMargin, y, "USER PROGRAM");
    y += kLineStep;
    printListing(page, input.tree, y);

    screens::PixelBuffer work(screens::kPictureWidth, screens::kPictureHeight, screens::kWhite);
    printScreenPage(page, input.screens, 0, work);
    printScreenPage(page, input.screens, 4, work);
}

}  // namespace vrn::workspace
