// Get and Send Setup/Screens/Pgm against every fault of the simulated instrument: the three
// transfers stop at the first failure, whose models are kept as each transfer promises.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/program/program_model.h"
#include "core/program/program_transfer.h"
#include "core/screens/pixel_sink.h"
#include "core/screens/screen_drawing.h"
#include "core/screens/screen_editor.h"
#include "core/screens/screen_store.h"
#include "core/screens/screen_transfer.h"
#include "core/setup/setup_model.h"
#include "core/setup/setup_transfer.h"
#include "core/workspace/whole_transfer.h"
#include "fault_matrix.h"
#include "setup_steps.h"
#include "whole_instrument_rig.h"

namespace vrn::workspace {
namespace {

using Bytes = std::vector<uint8_t>;
using Lines = std::vector<std::string>;

struct Rig : test::WholeInstrumentRig<test::MatrixLink> {
    PageControl pages;

    Rig() {
        editor.clearAll();
        setup.setUsePcTime(false);
        setup.setDate("01-02-2026");
        setup.setTime("12:00:00");
        setup.setInterval(33);
        store.setCell(2, 1, 1, 'Z');
        program.tree.append({}, "LEFT OVER");
        instrument.state.setup.interval = 42;
        instrument.state.setup.month = 6;
        host.setNextAnswer(MsgResult::Yes);
    }
    Bytes storeBytes() const { return {store.bytes().begin(), store.bytes().end()}; }
    Bytes programBytes() const { return {program.store.image().begin(), program.store.image().end()}; }
};

// The models a Rig starts with, or holds after a whole Get that got through.
struct Models {
    test::Steps setup;
    Bytes screens;
    Bytes program;
    bool operator==(const Models&) const = default;
};

Models modelsOf(const Rig& r) {
    return {test::stepsOf(r.setup), r.storeBytes(), r.programBytes()};
}

TEST(FaultMatrix, GetSetupScreensProgram) {
    Models device;
    {
        Rig ref;
        ASSERT_TRUE(getAll(ref.transfers, ref.pages).ok());
        device = modelsOf(ref);
    }
    const Models before = modelsOf(Rig());
    test::Matrix<Rig> m;
    m.transfer = "get setup/screens/program";
    m.boundMs = 45000;  // the bounds of a failing Setup, the two others whole, and two pauses
    m.run = [](Rig& r) { return !GetCollection1(r.transfers, r.pages).ok(); };
    m.check = [&](Rig& r, bool failed) {
        test::Verdict v;
        const Models got = modelsOf(r);
        const bool programGot = got.program != before.program;
        const bool screensGot = got.screens != before.screens;
        // Each transfer runs only after the one before it got through.
        // A garbage value that reads as 0 is a Setup step that got through (see its own matrix).
        const bool setupWhole = test::readSoFar(got.setup, device.setup, before.setup, false).empty();
        if (programGot && (got.program != device.program || !screensGot)) v.model += "program; ";
        if (screensGot && !setupWhole) v.model += "screens taken after a failed Setup; ";
        if (screensGot && got.screens != device.screens) v.model += "screens other than the instrument's; ";
        if (!setupWhole && !test::readSoFar(got.setup, device.setup, before.setup, true).empty())
            v.model += "setup: " + test::readSoFar(got.setup, device.setup, before.setup, true);
        if (!failed && !programGot) v.model += "got through without the program; ";
        const Lines question = {"Get Setup/Screens/Pgm from 41700.\nOverwrite settings in VRNComm?"};
        if (!failed) {
            v.messages = test::expectEnd(r, "FINISHED GETTING SETUP/SCREENS/PROGRAM.", question);
        } else {
            Lines boxes = r.boxTexts();
            std::erase(boxes, "Too many errors.\nGet 41700 User Program failed.");
            if (r.host.lines.back() != "GET SETUP/SCREENS/PROGRAM FAILED." ||
                boxes != Lines{question[0], kCommErrorText})
                v.messages =
                    test::expectEnd(r, "GET SETUP/SCREENS/PROGRAM FAILED.", {question[0], kCommErrorText});
        }
        return v;
    };
    auto faults = test::replyFaults({225, 325, 335, 215, 115});
    const auto link = test::linkFaults(test::replyBytesOf(m), 1500);
    faults.insert(faults.end(), link.begin(), link.end());
    for (const char* row : {"CMD215 stray", "CMD325 stray", "all stray", "flip byte", "stall 2 s",
                            "CMD225 stall", "CMD325 stall", "CMD335 stall"})
        test::markLimit(faults, row, "replies carry no check or length (as in each transfer's own matrix)");
    test::runMatrix(m, faults);
}

TEST(FaultMatrix, SendSetupScreensProgram) {
    Models sent;
    Bytes deviceProgram;
    {
        Rig ref;
        sent = modelsOf(ref);
        ASSERT_TRUE(sendAll(ref.transfers, ref.pages).ok());
        deviceProgram = ref.instrument.state.program;
    }
    test::Matrix<Rig> m;
    m.transfer = "send setup/screens/program";
    m.boundMs = 45000;  // the bounds of a failing Setup, the two others whole, and two pauses
    m.run = [](Rig& r) { return !SendCollection1(r.transfers, r.pages).ok(); };
    m.check = [&](Rig& r, bool failed) {
        test::Verdict v;
        if (modelsOf(r) != sent) v.model += "the Send changed a model; ";
        const Lines question = {"Send Setup/Screens/Program.\nOverwrite settings in 41700?"};
        if (failed) {
            Lines boxes = r.boxTexts();
            std::erase(boxes, screens::ScreenTransfer::kNoResponseText);
            if (r.host.lines.back() != "SEND SETUP/SCREENS/PROGRAM FAILED." ||
                boxes != Lines{question[0], kCommErrorText})
                v.messages =
                    test::expectEnd(r, "SEND SETUP/SCREENS/PROGRAM FAILED.", {question[0], kCommErrorText});
            return v;
        }
        v.messages = test::expectEnd(r, "FINISHED SENDING SETUP/SCREENS/PROGRAM.", question);
        const Bytes deviceScreens(r.instrument.state.screens.begin(), r.instrument.state.screens.end());
        if (deviceScreens != sent.screens) v.model += "the instrument holds other screens; ";
        if (r.instrument.state.program != deviceProgram) v.model += "the instrument holds another program; ";
        if (r.instrument.state.setup.interval != 33) v.model += "the instrument holds another Setup; ";
        return v;
    };
    auto faults = test::replyFaults({250, 320, 210, 110});
    const auto link = test::linkFaults(test::replyBytesOf(m), 7);
    faults.insert(faults.end(), link.begin(), link.end());
    const std::string why = "block packets carry no number (as in the program's own matrix)";
    test::markLimit(faults, "CMD110 stray first", why);
    test::markLimit(faults, "all stray NAK first", why);
    test::runMatrix(m, faults);
}

}  // namespace
}  // namespace vrn::workspace
