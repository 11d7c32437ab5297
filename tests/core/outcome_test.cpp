// What a transfer's outcome says happened, and the line it gives as the reason.
#include "core/link/outcome.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "core/link/timer1.h"
#include "sim_link.h"
#include "whole_instrument_rig.h"

namespace vrn {
namespace {

using Rig = test::WholeInstrumentRig<test::SimLink>;

TEST(Outcome, SaysWhatHappenedAndTheLineThatSaidWhy) {
    struct Row {
        const char* name;
        std::function<void(Rig&)> arrange;
        std::function<Outcome(Rig&)> run;
        Outcome::Kind kind;
        std::string reason;
    } rows[] = {
        {"a value out of range: the transfer's own last line",
         [](Rig& r) { r.instrument.faults.perCommand[255] = sim::Fault::replace("-1"); },
         [](Rig& r) { return r.setupTransfer.GetUserSettings(); }, Outcome::Kind::Failed,
         "GET SETUP FAILED."},
        {"a Setup that cannot be sent: its box", [](Rig& r) { r.setup.setUsePcTime(false); },
         [](Rig& r) { return r.setupTransfer.SendUserSettings(); }, Outcome::Kind::Refused,
         "Cannot Send Setup.\nThe date box is empty.\nEnter a date from 01-01-2000 to 12-31-2099 as "
         "MM-DD-YYYY."},
        {"the screens' wait ended by a close",
         [](Rig& r) {
             r.instrument.faults.perCommand[210] = sim::Fault::silent();
             // As the window ends a wait when it is closed.
             r.host.onTick = [&r] { r.ex.abortWaits(); };
         },
         [](Rig& r) { return r.screenTransfer.SendUserScreens(); }, Outcome::Kind::Aborted,
         "SEND SCREENS ERROR."},
        {"the port gone under the screens' wait",
         [](Rig& r) {
             r.instrument.faults.perCommand[210] = sim::Fault::silent();
             r.host.onTick = [&r] { r.usb.closeAtExit(); };
         },
         [](Rig& r) { return r.screenTransfer.SendUserScreens(); }, Outcome::Kind::PortGone,
         "SEND SCREENS ERROR."},
        {"no first program block", [](Rig& r) { r.instrument.faults.perCommand[115] = sim::Fault::silent(); },
         [](Rig& r) { return r.programTransfer.GetUserProgram(); }, Outcome::Kind::Failed,
         "GET USER PROGRAM FAILED."},
        {"a program without its end: its box",
         [](Rig& r) {
             for (size_t k = 0; k < ProgramStore::kSlotCount; ++k)
                 r.program.store.setInstruction(k, 3);
         },
         [](Rig& r) { return r.programTransfer.SendUserProgram(); }, Outcome::Kind::Refused,
         "Cannot Send User Program.\nThe program has no PGM END."},
        {"a whole Send: the outcome of the step that failed",
         [](Rig& r) { r.instrument.faults.perCommand[210] = sim::Fault::silent(); },
         [](Rig& r) { return workspace::sendAll(r.transfers, {}); }, Outcome::Kind::Failed,
         "SEND SCREENS ERROR."},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Rig rig;
        rig.usb.OpenUsbPort();
        r.arrange(rig);
        const Outcome outcome = r.run(rig);
        EXPECT_EQ(outcome.kind(), r.kind);
        EXPECT_EQ(outcome.reason(), r.reason);
    }
}

}  // namespace
}  // namespace vrn
