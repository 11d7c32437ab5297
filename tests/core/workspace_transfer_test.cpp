#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/link/exchange.h"
#include "core/program/program_file.h"
#include "core/program/program_model.h"
#include "core/program/program_transfer.h"
#include "core/screens/pixel_sink.h"
#include "core/screens/screen_drawing.h"
#include "core/screens/screen_editor.h"
#include "core/screens/screen_store.h"
#include "core/screens/screen_transfer.h"
#include "core/setup/setup_model.h"
#include "core/setup/setup_transfer.h"
#include "core/workspace/firmware_backup.h"
#include "core/workspace/whole_transfer.h"
#include "memory_file_store.h"
#include "sim_link.h"
#include "whole_instrument_rig.h"

namespace vrn::workspace {
namespace {

using sim::Fault;
using Bytes = std::vector<uint8_t>;

// The page control: index 5 is a page no transfer shows.
struct RecordedPages final : PageControl {
    mutable int page = 5;
    mutable std::vector<int> shown;
    int current() const override { return page; }
    void show(Page p) const override {
        page = static_cast<int>(p);
        shown.push_back(page);
    }
    void restore(int p) const override { page = p; }
};

struct Rig : test::WholeInstrumentRig<test::SimLink> {
    RecordedPages pages;

    Rig() {
        editor.clearAll();
        setup.setDate("01-01-2026");
        setup.setTime("12:00:00");
    }
    std::vector<std::string> boxTexts() const {
        std::vector<std::string> out;
        for (const auto& b : host.boxes)
            out.push_back(b.text);
        return out;
    }
};

TEST(WholeTransfer, ClosedPortShowsOnlyItsBox) {
    struct Row {
        const char* name;
        Outcome (*run)(Transfers&, const PageControl&);
        const char* box;
    } rows[] = {
        {"get", GetCollection1, "Cannot Get Setup/Screens/Program.\nUSB port is closed."},
        {"send", SendCollection1, "Cannot Send Setup/Screens/Program.\nComm port is closed."},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Rig rig;
        EXPECT_EQ(r.run(rig.transfers, rig.pages).kind(), Outcome::Kind::PortGone);
        EXPECT_EQ(rig.boxTexts(), std::vector<std::string>{r.box});
        EXPECT_TRUE(rig.host.lines.empty());
        EXPECT_TRUE(rig.pages.shown.empty());
        EXPECT_TRUE(rig.instrument.commandLog.empty());
    }
}

TEST(WholeTransfer, AnsweringNoChangesNothing) {
    for (auto run : {GetCollection1, SendCollection1}) {
        Rig rig;
        rig.usb.OpenUsbPort();
        rig.host.lines = {"EARLIER LINE"};
        rig.host.answers.push_back(MsgResult::No);
        EXPECT_EQ(run(rig.transfers, rig.pages).kind(), Outcome::Kind::Refused);
        EXPECT_EQ(rig.host.lines, std::vector<std::string>{"EARLIER LINE"});
        EXPECT_EQ(rig.pages.page, 5);
        EXPECT_TRUE(rig.pages.shown.empty());
        EXPECT_TRUE(rig.instrument.commandLog.empty());
    }
}

TEST(WholeTransfer, GetMovesAllThreePartsOnTheirPages) {
    Rig rig;
    rig.usb.OpenUsbPort();
    rig.instrument.state.setup.interval = 42;
    rig.host.answers.push_back(MsgResult::Yes);
    EXPECT_TRUE(GetCollection1(rig.transfers, rig.pages).ok());
    EXPECT_EQ(rig.setup.interval(), 42);
    EXPECT_EQ(Bytes(rig.store.bytes().begin(), rig.store.bytes().end()),
              Bytes(rig.instrument.state.screens.begin(), rig.instrument.state.screens.end()));
    EXPECT_EQ(rig.pages.shown, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(rig.pages.page, 5);
    EXPECT_EQ(rig.host.lines.front(), "GET SETUP/SCREENS/PROGRAM...");
    EXPECT_EQ(rig.host.lines.back(), "FINISHED GETTING SETUP/SCREENS/PROGRAM.");
    EXPECT_EQ(rig.host.boxes.size(), 1u);  // the question
    EXPECT_EQ(rig.host.waitCursorDepth, 0);
}

TEST(WholeTransfer, GetFailingAtTheScreensKeepsTheSetupAndLeavesTheProgram) {
    Rig rig;
    rig.usb.OpenUsbPort();
    rig.instrument.state.setup.interval = 42;
    rig.instrument.faults.perCommand[215] = Fault::silent();
    const Bytes programBefore = writeProgramFile(rig.program);
    rig.host.answers.push_back(MsgResult::Yes);
    EXPECT_FALSE(GetCollection1(rig.transfers, rig.pages).ok());
    EXPECT_EQ(rig.setup.interval(), 42);
    EXPECT_EQ(writeProgramFile(rig.program), programBefore);
    EXPECT_EQ(rig.pages.shown, (std::vector<int>{0, 1}));
    EXPECT_EQ(rig.pages.page, 5);
    const auto boxes = rig.boxTexts();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1], kCommErrorText);
    EXPECT_EQ(rig.host.lines.back(), "GET SETUP/SCREENS/PROGRAM FAILED.");
    EXPECT_EQ(rig.host.waitCursorDepth, 0);
}

TEST(WholeTransfer, SendPausesTwoSecondsBetweenItsTransfers) {
    Rig rig;
    rig.usb.OpenUsbPort();
    // Each transfer alone, begun once the line has carried the last one's bytes: the whole send's
    // pauses let it.
    int64_t alone = 0;
    for (const auto& send : std::initializer_list<std::function<Outcome()>>{
             [&rig] { return rig.setupTransfer.SendUserSettings(); },
             [&rig] { return rig.screenTransfer.SendUserScreens(); },
             [&rig] { return rig.programTransfer.SendUserProgram(); }}) {
        rig.host.clock_.sleepUntilUs(rig.instrument.lineInFreeUs());
        const int64_t t0 = rig.host.clock_.nowUs();
        ASSERT_TRUE(send().ok());
        alone += rig.host.clock_.nowUs() - t0;
    }

    rig.host.answers.push_back(MsgResult::Yes);
    const int64_t t1 = rig.host.clock_.nowUs();
    EXPECT_TRUE(SendCollection1(rig.transfers, rig.pages).ok());
    const int64_t whole = rig.host.clock_.nowUs() - t1;
    EXPECT_GE(whole - alone, 2 * kSendStepPauseMs * 1000);
    EXPECT_LT(whole - alone, 3 * kSendStepPauseMs * 1000);
    EXPECT_EQ(rig.host.lines.back(), "FINISHED SENDING SETUP/SCREENS/PROGRAM.");
    EXPECT_EQ(rig.pages.page, 5);
}

TEST(WholeTransfer, ASendOfAProgramWithoutPgmEndIsRefusedBeforeAnythingIsSent) {
    struct Row {
        const char* name;
        Outcome (*run)(Transfers&, const PageControl&);
    } rows[] = {
        {"menu item", SendCollection1},
        {"without the question", sendAll},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Rig rig;
        rig.usb.OpenUsbPort();
        rig.driver.written.clear();
        for (size_t k = 0; k < ProgramStore::kSlotCount; ++k)
            rig.program.store.setInstruction(k, 1);
        EXPECT_EQ(r.run(rig.transfers, rig.pages).kind(), Outcome::Kind::Refused);
        EXPECT_EQ(rig.boxTexts(), std::vector<std::string>{
                                      "Cannot Send Setup/Screens/Program.\nThe program has no PGM END."});
        EXPECT_TRUE(rig.driver.written.empty());
        EXPECT_TRUE(rig.host.lines.empty());
    }
}

TEST(WholeTransfer, FirmwareBackupSavesOnlyAWholeGet) {
    struct Row {
        const char* name;
        int silentCommand;  // 0: none
        std::string unwritable;
        Outcome::Kind outcome;
    } rows[] = {
        {"complete", 0, "", Outcome::Kind::Done},
        {"program get fails", 115, "", Outcome::Kind::Failed},
        {"folder read-only", 0, "/fw/", Outcome::Kind::NotWritten},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Rig rig;
        rig.usb.OpenUsbPort();
        rig.instrument.state.setup.interval = 42;
        if (r.silentCommand != 0) rig.instrument.faults.perCommand[r.silentCommand] = Fault::silent();
        test::MemoryFileStore files;
        files.unwritablePrefix = r.unwritable;
        const std::string path = firmwareBackupPath("/fw/new.glo", rig.host.clock_);
        EXPECT_EQ(path.substr(0, 17), "/fw/41700 backup ");
        EXPECT_EQ(path.substr(path.size() - 4), ".ssp");
        auto encode = [](const screens::PixelBuffer&) { return Bytes{'B', 'M'}; };
        EXPECT_EQ(backupInstrument(rig.ex, files, path, encode).kind(), r.outcome);
        EXPECT_EQ(files.files.size(), r.outcome == Outcome::Kind::Done ? 13u : 0u);
        EXPECT_EQ(rig.host.lines.back(), r.outcome != Outcome::Kind::Failed
                                             ? "FINISHED GETTING SETUP/SCREENS/PROGRAM."
                                             : "GET SETUP/SCREENS/PROGRAM FAILED.");
        EXPECT_TRUE(rig.host.answers.empty());
        // The rig's own models, standing for the window's, never saw the instrument's.
        EXPECT_EQ(rig.setup.interval(), setup::SetupModel().interval());
        EXPECT_EQ(rig.program.tree.topLevel().size(), 1u);
        EXPECT_TRUE(rig.pages.shown.empty());
    }
}

}  // namespace
}  // namespace vrn::workspace
