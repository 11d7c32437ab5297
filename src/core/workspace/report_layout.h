#pragma once

#include <string>

#include "core/link/clock.h"
#include "core/screens/pixel_sink.h"

namespace vrn {
class ProgramTree;
}
namespace vrn::setup {
class SetupModel;
}
namespace vrn::screens {
class ScreenStore;
}

namespace vrn::workspace {

class ReportCanvas;

// Positions in report units: a horizontal unit is an eighth of the page width, a vertical unit
// 1/10.5 of its height.
inline constexpr double kLeftMargin = 0.75;
inline constexpr double kPageTop = 0.6;
inline constexpr double kLineStep = 0.15;
inline constexpr double kListingBottom = 9.1;
inline constexpr double kColumnStep = 2.5;
inline constexpr double kParameterIndent = 0.22;
inline constexpr int kListingColumns = 3;

// Ruler colours of the screen pages.
inline constexpr screens::Rgb kLightGrey = 0xC0C0C0;
inline constexpr screens::Rgb kDarkGrey = 0x808080;

struct ReportInput {
    const setup::SetupModel& setup;
    const ProgramTree& tree;
    const screens::ScreenStore& screens;
    std::string groupName;
    LocalDateTime today;
};

// "mmmm dd, yyyy": "July 04, 2026".
std::string reportDate(const LocalDateTime& day);

// Draws the whole report from its first page on: header, parameters, field table, the program
// listing in up to three columns a page, then two pages of four screens each with their rulers.
void layOutReport(ReportCanvas& canvas, const ReportInput& input);

}  // namespace vrn::workspace
