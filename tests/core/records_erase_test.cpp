#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/link/timer1.h"
#include "core/records/record_erase.h"
#include "sim_link.h"

namespace vrn::records {
namespace {

using Lines = std::vector<std::string>;

constexpr const char* kStarted = "ERASING ALL RECORDED DATA IN 41700...";
constexpr const char* kErased = "ALL RECORDS ERASED.";
constexpr const char* kFailed = "ERASE RECORDS FAILED. TIMEOUT ERROR. RECORDS MAY NOT BE ERASED.";

struct Rig : test::SimLink {
    RecordErase erase{ex};
    Rig() { usb.OpenUsbPort(); }
    // CMD345 answers with these bytes, one every stepUs.
    void answer(std::string bytes, int64_t stepUs) {
        instrument.registerCommand(345, [bytes, stepUs](sim::Instrument& i, const sim::CommandLine&) {
            for (size_t k = 0; k < bytes.size(); ++k)
                i.reply(bytes.substr(k, 1), static_cast<int64_t>(k + 1) * stepUs);
        });
    }
};

TEST(RecordErase, OutcomesOfTheInstrumentsAnswers) {
    struct Row {
        const char* name;
        std::string answer;  // empty: the simulated instrument's own erase
        int64_t stepUs;
        Outcome::Kind outcome;
        int lastProgress;  // before the bar goes back to 0
    };
    const std::vector<Row> rows = {
        {"the instrument's own erase", "", 0, Outcome::Kind::Done, 1024},
        {"star first ends at once", "*", 1000, Outcome::Kind::Done, 0},
        {"more than 1,024 steps keep the bar full", std::string(1100, '!').append("*"), 1000,
         Outcome::Kind::Done, 1024},
        {"steps just inside the limit keep it going", "!!!!*", 1900000, Outcome::Kind::Done, 4},
        {"silence fails", "", -1, Outcome::Kind::Failed, 0},
        {"stray bytes do not restart the limit", std::string(40, 'x').append("*"), 300000,
         Outcome::Kind::Failed, 0},
    };
    for (const Row& row : rows) {
        Rig rig;
        if (row.stepUs > 0) rig.answer(row.answer, row.stepUs);
        if (row.stepUs < 0) rig.instrument.faults.perCommand[345] = sim::Fault::silent();
        rig.host.setNextAnswer(MsgResult::Yes);
        const int64_t startUs = rig.host.clock_.nowUs();
        const Outcome erased = rig.erase.EraseRecords1Click();
        EXPECT_EQ(erased.kind(), row.outcome) << row.name;
        EXPECT_EQ(rig.instrument.commandCounts[345], 1) << row.name;
        EXPECT_EQ(rig.host.lines, (Lines{kStarted, erased.ok() ? kErased : kFailed})) << row.name;
        EXPECT_EQ(erased.reason(), erased.ok() ? "" : kFailed) << row.name;
        EXPECT_EQ(rig.host.progressMax, RecordErase::kProgressSteps) << row.name;
        ASSERT_GE(rig.host.progress.size(), 2u) << row.name;
        EXPECT_EQ(rig.host.progress.back(), 0) << row.name;
        EXPECT_EQ(rig.host.progress[rig.host.progress.size() - 2], row.lastProgress) << row.name;
        EXPECT_LE(*std::max_element(rig.host.progress.begin(), rig.host.progress.end()),
                  RecordErase::kProgressSteps)
            << row.name;
        EXPECT_EQ(rig.host.waitCursorDepth, 0) << row.name;
        EXPECT_TRUE(rig.host.timer_.enabled()) << row.name;
        if (!erased.ok()) {
            // The 500 ms pause, then five half-second ticks: 2 to 2.5 s, however many stray bytes.
            const int64_t tookUs = rig.host.clock_.nowUs() - startUs;
            EXPECT_GE(tookUs, 2500000) << row.name;
            EXPECT_LE(tookUs, 3300000) << row.name;
        }
    }
}

TEST(RecordErase, NoSendsNothingAndAddsNoLine) {
    Rig rig;
    rig.host.setNextAnswer(MsgResult::No);
    EXPECT_EQ(rig.erase.EraseRecords1Click().kind(), Outcome::Kind::Refused);
    EXPECT_TRUE(rig.driver.written.empty());
    EXPECT_TRUE(rig.host.lines.empty());
    ASSERT_EQ(rig.host.boxes.size(), 1u);
    EXPECT_EQ(rig.host.boxes[0].text, RecordErase::kQuestion);
    EXPECT_EQ(rig.host.boxes[0].buttons, MsgButtons::YesNoDefaultNo);
}

}  // namespace
}  // namespace vrn::records
