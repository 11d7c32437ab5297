#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/screens/pixel_sink.h"
#include "core/screens/screen_actions.h"
#include "core/screens/screen_drawing.h"
#include "core/screens/screen_editor.h"
#include "core/screens/screen_store.h"
#include "core/screens/screen_transfer.h"
#include "memory_file_store.h"
#include "sim_link.h"
#include "whole_instrument_rig.h"

namespace vrn::screens {
namespace {

using sim::Fault;
using Lines = std::vector<std::string>;
using Bytes = std::vector<uint8_t>;

struct Rig : test::WholeInstrumentRig<test::SimLink> {
    ScreenTransfer& transfer = screenTransfer;
    test::MemoryFileStore files;

    Rig() {
        editor.clearAll();
        usb.OpenUsbPort();
        driver.written.clear();
        host.lines.clear();
    }
    Bytes storeBytes() const { return Bytes(store.bytes().begin(), store.bytes().end()); }
    // Every byte of the store different from its neighbour's and from a blank.
    void fillPattern() {
        for (int s = 0; s < kScreenCount; ++s)
            for (int r = 0; r < kRows; ++r)
                for (int c = 0; c < kColumns; ++c)
                    store.setCell(s, r, c, static_cast<uint8_t>(33 + (s * 7 + r * 3 + c) % 90));
    }
};

TEST(ScreenTransferGet, ShowsScreenOneAndEndsEditing) {
    Rig rig;
    rig.editor.UpDownScrNumChangingEx(3);
    rig.editor.ButtonStartEditClick();
    EXPECT_TRUE(rig.transfer.GetUserScreens().ok());

    EXPECT_EQ(rig.storeBytes(),
              Bytes(rig.instrument.state.screens.begin(), rig.instrument.state.screens.end()));
    EXPECT_EQ(rig.host.lines, (Lines{"GET SCREENS...", "FINISHED GETTING SCREENS."}));
    EXPECT_EQ(rig.host.progressMax, 240);
    ASSERT_EQ(rig.host.progress.size(), 241u);
    EXPECT_EQ(rig.host.progress[0], 1);
    EXPECT_EQ(rig.host.progress[239], 240);
    EXPECT_EQ(rig.host.progress[240], 0);
    EXPECT_EQ(rig.editor.screenNumber(), 1);
    EXPECT_FALSE(rig.editor.editing());
    EXPECT_EQ(rig.instrument.commandCounts[215], 1);
    // Screen 1 is what the image shows: the top bar of its large S, where screen 3's small W is dark.
    EXPECT_EQ(rig.image.at(6, 2), kGreen);
    EXPECT_EQ(rig.image.at(2, 2), kBlack);
}

TEST(ScreenTransferGet, ShortAnswerTenTimesLeavesEverythingAsItWas) {
    Rig rig;
    rig.fillPattern();
    rig.editor.UpDownScrNumChangingEx(5);
    rig.editor.ButtonStartEditClick();
    const Bytes before = rig.storeBytes();
    rig.instrument.faults.perCommand[215] = Fault::cutShort(1);
    const int purgesBefore = rig.driver.purges;

    EXPECT_FALSE(rig.transfer.GetUserScreens().ok());

    EXPECT_EQ(rig.instrument.commandCounts[215], ScreenTransfer::kGetTries);
    // Each try: a purge of its own, the pause, then the send routine's purge and the command.
    EXPECT_EQ(rig.driver.purges - purgesBefore, 2 * ScreenTransfer::kGetTries);
    std::vector<int64_t> commandStarts;
    for (const auto& w : rig.driver.written)
        if (w.byte == 'C') commandStarts.push_back(w.atUs);
    ASSERT_EQ(commandStarts.size(), 10u);
    for (size_t i = 1; i < commandStarts.size(); ++i)
        EXPECT_GE(commandStarts[i] - commandStarts[i - 1], ScreenTransfer::kGetPauseMs * 1000);
    EXPECT_EQ(rig.host.lines, (Lines{"GET SCREENS...", "GET SCREENS FAILED."}));
    EXPECT_EQ(rig.storeBytes(), before);
    EXPECT_EQ(rig.editor.screenNumber(), 5);
    EXPECT_TRUE(rig.editor.editing());
}

TEST(ScreenTransferSend, NoReadyMarkShowsTwoBoxes) {
    Rig rig;
    rig.instrument.faults.perCommand[210] = Fault::silent();
    const int64_t start = rig.host.clock_.nowUs();
    const Outcome sent = TxScreens(rig.transfer, {});
    const int64_t waitedMs = (rig.host.clock_.nowUs() - start) / 1000;

    ASSERT_EQ(rig.host.boxes.size(), 2u);
    EXPECT_EQ(rig.host.boxes[0].text, "No response from 41700");
    EXPECT_EQ(rig.host.boxes[1].text, kCommErrorText);
    EXPECT_EQ(rig.host.lines, (Lines{"SEND SCREENS...", "SEND SCREENS ERROR."}));
    EXPECT_EQ(sent.kind(), Outcome::Kind::Failed);
    EXPECT_EQ(sent.reason(), "SEND SCREENS ERROR.");
    EXPECT_EQ(rig.instrument.blocksReceived, 0);
    EXPECT_EQ(rig.driver.written.size(), 7u) << "only the command line went out";
    // Four ticks of 500 ms; the first may come at once.
    EXPECT_GE(waitedMs, 1500);
    EXPECT_LE(waitedMs, 2600);
    EXPECT_EQ(rig.host.waitCursorDepth, 0);
}

TEST(ScreenTransferSend, RoundTripGivesBackTheSameScreens) {
    Rig rig;
    rig.fillPattern();
    rig.store.SetLargeCell(4, 38, 0xC1);
    const Bytes sent = rig.storeBytes();
    EXPECT_TRUE(rig.transfer.SendUserScreens().ok());
    EXPECT_EQ(Bytes(rig.instrument.state.screens.begin(), rig.instrument.state.screens.end()), sent);
    EXPECT_EQ(rig.host.lines, (Lines{"SEND SCREENS...", "FINISHED SENDING SCREENS."}));
    EXPECT_EQ(rig.host.progressMax, 1920);
    ASSERT_EQ(rig.host.progress.size(), 1921u);
    EXPECT_EQ(rig.host.progress[1919], 1920);

    rig.store.clear(0);
    EXPECT_TRUE(rig.transfer.GetUserScreens().ok());
    EXPECT_EQ(rig.storeBytes(), sent);
}

TEST(ScreenTransferMenu, ClosedPortRefusesWithItsOwnBox) {
    struct Row {
        const char* name;
        Outcome (*action)(ScreenTransfer&, const std::function<void()>&);
        const char* text;
    };
    for (const Row& row : {Row{"get", RxScreens, "Cannot Get Screens.\nUSB port is closed."},
                           Row{"send", TxScreens, "Cannot Send Screens.\nUSB port is closed."}}) {
        SCOPED_TRACE(row.name);
        Rig rig;
        rig.usb.closeAtExit();
        bool shown = false;
        EXPECT_EQ(row.action(rig.transfer, [&] { shown = true; }).kind(), Outcome::Kind::PortGone);
        ASSERT_EQ(rig.host.boxes.size(), 1u);
        EXPECT_EQ(rig.host.boxes[0].text, row.text);
        EXPECT_FALSE(shown);
        EXPECT_TRUE(rig.driver.written.empty());
    }
}

TEST(ScreenFiles, OpenLoadsWhatTheFileHolds) {
    struct Row {
        const char* name;
        size_t fileSize;
        size_t replaced;  // leading bytes of the store taken from the file
    };
    for (const Row& row : {Row{"short file", 500, 500}, Row{"exact file", 1920, 1920},
                           Row{"long file", 2500, 1920}, Row{"empty file", 0, 0}}) {
        SCOPED_TRACE(row.name);
        Rig rig;
        rig.fillPattern();
        const Bytes before = rig.storeBytes();
        rig.editor.UpDownScrNumChangingEx(5);
        rig.editor.ButtonStartEditClick();
        Bytes file(row.fileSize);
        for (size_t i = 0; i < file.size(); ++i)
            file[i] = static_cast<uint8_t>(i % 7 == 0 ? 0xC4 : 'a' + i % 26);
        rig.files.files["in.scr"] = file;
        rig.host.setNextFileName("in.scr");

        OpenScreenFile(rig.host, rig.files, rig.editor);

        Bytes expected = before;
        std::copy_n(file.begin(), row.replaced, expected.begin());
        EXPECT_EQ(rig.storeBytes(), expected);
        EXPECT_EQ(rig.editor.screenNumber(), 1);
        EXPECT_FALSE(rig.editor.editing());
        EXPECT_TRUE(rig.host.boxes.empty());
        EXPECT_EQ(rig.host.dialogs.at(0).title, "Open Screen File");
    }
}

TEST(ScreenFiles, SaveThenOpenGivesBackTheStore) {
    Rig rig;
    rig.fillPattern();
    rig.store.SetLargeCell(0, 0, 0xFE);
    const Bytes saved = rig.storeBytes();
    rig.host.setNextFileName("out.scr");
    SaveScreenFile(rig.host, rig.files, rig.editor);
    EXPECT_EQ(rig.files.files.at("out.scr"), saved);
    EXPECT_TRUE(rig.host.dialogs.at(0).overwritePrompt);

    rig.editor.clearAll();
    rig.host.setNextFileName("out.scr");
    OpenScreenFile(rig.host, rig.files, rig.editor);
    EXPECT_EQ(rig.storeBytes(), saved);
}

TEST(ScreenFiles, ProblemsShowABoxAndKeepTheStore) {
    Rig rig;
    rig.fillPattern();
    const Bytes before = rig.storeBytes();
    rig.host.setNextFileName("missing.scr");
    OpenScreenFile(rig.host, rig.files, rig.editor);
    rig.host.setNextFileName("/readonly/out.scr");
    SaveScreenFile(rig.host, rig.files, rig.editor);
    rig.host.setNextFileName(std::nullopt);
    OpenScreenFile(rig.host, rig.files, rig.editor);

    ASSERT_EQ(rig.host.boxes.size(), 2u);
    EXPECT_EQ(rig.host.boxes[0].text, "Cannot open file \"missing.scr\".\nNo such file or directory");
    EXPECT_EQ(rig.host.boxes[1].text, "Cannot create file \"/readonly/out.scr\".\nAccess is denied.");
    EXPECT_EQ(rig.storeBytes(), before);
    EXPECT_TRUE(rig.files.files.empty());
}

}  // namespace
}  // namespace vrn::screens
