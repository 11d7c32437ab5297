#include "core/setup/setup_actions.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "core/io/file_store.h"
#include "core/link/exchange.h"
#include "core/link/usb_port.h"
#include "core/setup/setup_file.h"
#include "core/setup/setup_model.h"
#include "core/setup/setup_transfer.h"
#include "memory_file_store.h"
#include "recording_host.h"
#include "sim/instrument.h"
#include "sim/sim_port.h"
#include "sim_link.h"

namespace vrn::setup {
namespace {

using sim::Fault;

// The file errors as the window's users have always seen them.
struct MemoryFiles : test::MemoryFileStore {
    MemoryFiles() { missingError = "The system cannot find the file specified."; }
};

struct Rig : test::SimLink {
    SetupModel model;
    SetupTransfer transfer{ex, model};
    int pageShown = 0;
    std::function<void()> showPage = [this] { ++pageShown; };
};

TEST(SetupActions, ClosedPortRefusesWithItsOwnBox) {
    struct Row {
        const char* name;
        Outcome (*action)(SetupTransfer&, const std::function<void()>&);
        const char* box;
    } rows[] = {
        {"Get Setup", RxSetup, "Cannot Get Setup.\nUSB port is closed."},
        {"Send Setup", TxSetup, "Cannot Send Setup.\nUSB port is closed."},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Rig rig;
        EXPECT_EQ(r.action(rig.transfer, rig.showPage).kind(), Outcome::Kind::PortGone);
        ASSERT_EQ(rig.host.boxes.size(), 1u);
        EXPECT_EQ(rig.host.boxes[0].text, r.box);
        EXPECT_EQ(rig.host.boxes[0].kind, MsgKind::Warning);
        EXPECT_EQ(rig.pageShown, 0);
        EXPECT_EQ(rig.host.waitCursorShown, 0);
        EXPECT_TRUE(rig.host.lines.empty());
        EXPECT_TRUE(rig.instrument.commandLog.empty());
    }
}

TEST(SetupActions, GetAndSendShowThePageUnderTheHourglass) {
    Rig rig;
    rig.usb.OpenUsbPort();
    rig.model.setDate("01-01-2026");
    EXPECT_TRUE(RxSetup(rig.transfer, rig.showPage).ok());
    EXPECT_TRUE(TxSetup(rig.transfer, rig.showPage).ok());
    EXPECT_EQ(rig.pageShown, 2);
    EXPECT_EQ(rig.host.waitCursorShown, 2);
    EXPECT_EQ(rig.host.waitCursorDepth, 0);
    EXPECT_TRUE(rig.host.boxes.empty());
    EXPECT_EQ(rig.host.lines.back(), "FINISHED SENDING SETTINGS.");
}

TEST(SetupActions, FailuresShowTheCommunicationErrorButARefusedSendDoesNot) {
    Rig rig;
    rig.usb.OpenUsbPort();
    rig.instrument.faults.perCommand[235] = Fault::silent();
    const Outcome got = RxSetup(rig.transfer, rig.showPage);
    EXPECT_EQ(got.kind(), Outcome::Kind::Failed);
    EXPECT_EQ(got.reason(), "CANNOT GET COM2 INFO");
    ASSERT_EQ(rig.host.boxes.size(), 1u);
    EXPECT_EQ(rig.host.boxes[0].text, kCommErrorText);
    EXPECT_EQ(rig.host.waitCursorDepth, 0);

    rig.model.setUsePcTime(false);
    rig.model.setDate("13-01-2026");
    rig.model.setTime("10:00:00");
    EXPECT_EQ(TxSetup(rig.transfer, rig.showPage).kind(), Outcome::Kind::Refused);
    ASSERT_EQ(rig.host.boxes.size(), 2u);
    EXPECT_EQ(rig.host.boxes[1].text.substr(0, 19), "Cannot Send Setup.\n");
    EXPECT_EQ(rig.instrument.commandCounts.count(270), 0u);
    EXPECT_EQ(rig.host.waitCursorDepth, 0);
}

TEST(SetupActions, SaveAndOpenThroughTheDialogs) {
    Rig rig;
    MemoryFiles files;
    rig.model.setInterval(77);
    rig.model.setLabel(3, "RAIN");
    rig.host.setNextFileName("/data/site.set");
    EXPECT_EQ(SaveSetupFile(rig.host, files, rig.model), "/data/site.set");
    ASSERT_EQ(rig.host.dialogs.size(), 1u);
    EXPECT_EQ(rig.host.dialogs[0].filter, "Setup Files (*.set)|*.set|All Files (*.*)|*.*");
    EXPECT_EQ(rig.host.dialogs[0].defaultExt, "set");
    EXPECT_TRUE(rig.host.dialogs[0].overwritePrompt);
    EXPECT_FALSE(rig.host.dialogs[0].mustExist);
    ASSERT_EQ(files.files["/data/site.set"].size(), kSetupFileSize);

    SetupModel other;
    rig.host.setNextFileName("/data/site.set");
    EXPECT_EQ(OpenSetupFile(rig.host, files, other), "/data/site.set");
    EXPECT_TRUE(rig.host.dialogs[1].mustExist);
    EXPECT_FALSE(rig.host.dialogs[1].overwritePrompt);
    EXPECT_EQ(files.maxAsked, kSetupFileSize);
    EXPECT_EQ(other.interval(), 77);
    EXPECT_EQ(other.field(3).label, "RAIN");
    EXPECT_TRUE(rig.host.boxes.empty());
}

TEST(SetupActions, FileProblemsAreBoxesAndChangeNothing) {
    Rig rig;
    MemoryFiles files;
    rig.host.setNextFileName(std::nullopt);
    EXPECT_FALSE(SaveSetupFile(rig.host, files, rig.model));
    rig.host.setNextFileName(std::nullopt);
    EXPECT_FALSE(OpenSetupFile(rig.host, files, rig.model));
    EXPECT_TRUE(files.files.empty());
    EXPECT_TRUE(rig.host.boxes.empty());

    rig.host.setNextFileName("/readonly/a.set");
    EXPECT_FALSE(SaveSetupFile(rig.host, files, rig.model)) << "a failed save names no file";
    rig.host.setNextFileName("/missing.set");
    rig.model.setInterval(5);
    EXPECT_FALSE(OpenSetupFile(rig.host, files, rig.model));
    ASSERT_EQ(rig.host.boxes.size(), 2u);
    EXPECT_EQ(rig.host.boxes[0].text, "Cannot create file \"/readonly/a.set\".\nAccess is denied.");
    EXPECT_EQ(rig.host.boxes[1].text,
              "Cannot open file \"/missing.set\".\nThe system cannot find the file specified.");
    EXPECT_EQ(rig.model.interval(), 5);
}

}  // namespace
}  // namespace vrn::setup
