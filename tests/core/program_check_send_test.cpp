#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/check/check_actions.h"
#include "core/program/program_actions.h"
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
#include "sim_link.h"
#include "whole_instrument_rig.h"

namespace vrn::check {
namespace {

// IF FLAG (never closed), then AVERAGE of location 9, which nothing writes: one error, one
// warning. The tree mirrors the store as the editor would.
void makeProgramWithAnError(ProgramModel& p) {
    p.store.setInstruction(0, 16);
    p.store.setIntValue(0, 0, 1);
    p.store.setInstruction(1, 2);
    p.store.setIntValue(1, 0, 9);
    p.store.setIntValue(1, 1, 2);
    p.store.setIntValue(1, 3, 60);
    p.store.setInstruction(2, 0);
    p.tree.clear();
    const NodePath ifFlag = p.tree.append({}, "IF FLAG");
    p.tree.append(ifFlag, "flag#= 01");
    p.tree.append(ifFlag, "state= OFF");
    const NodePath average = p.tree.append({}, "AVERAGE");
    for (const char* param : {"sloc= 009", "dloc= 002", "type= BLOCK    ", "#samp= 0060"})
        p.tree.append(average, param);
    p.tree.append({}, "PGM END");
}

const std::vector<std::string> kFindingLines = {
    "001 IF FLAG: error: no END IF closes this IF before PGM END",
    "002 AVERAGE sloc=: warning: location 9 is never written",
};

TEST(CheckActions, CheckUserProgramListsTheFindingsAndTheCursorStepsThroughThem) {
    test::RecordingHost host;
    ProgramModel program;
    makeProgramWithAnError(program);
    const CheckResult result = CheckUserProgram(host, program.store, nullptr);
    std::vector<std::string> expected = {"CHECK USER PROGRAM..."};
    expected.insert(expected.end(), kFindingLines.begin(), kFindingLines.end());
    expected.push_back("FINISHED CHECKING USER PROGRAM: 1 ERROR, 1 WARNING.");
    EXPECT_EQ(host.lines, expected);
    EXPECT_TRUE(host.boxes.empty());

    FindingCursor cursor;
    EXPECT_FALSE(cursor.next(program.tree));  // no check yet
    cursor.reset(result);
    // The instruction's node for a finding without a parameter, the parameter's node otherwise,
    // and after the last the first again.
    // Each step's line says which finding it is, and when it went round to the first again.
    const struct {
        NodePath path;
        std::string line;
    } steps[] = {
        {{0}, "FINDING 1 OF 2: " + kFindingLines[0]},
        {{1, 0}, "FINDING 2 OF 2: " + kFindingLines[1]},
        {{0}, "FINDING 1 OF 2, FROM THE FIRST AGAIN: " + kFindingLines[0]},
        {{1, 0}, "FINDING 2 OF 2: " + kFindingLines[1]},
    };
    for (const auto& expected : steps) {
        const auto step = cursor.next(program.tree);
        ASSERT_TRUE(step);
        EXPECT_EQ(step->path, expected.path);
        EXPECT_EQ(step->finding->slot, expected.path[0]);
        EXPECT_EQ(stepLine(*step), expected.line);
    }
    cursor.next(program.tree);
    // Edited since: a parameter node that is gone falls back to its instruction; an instruction
    // that is gone is passed over.
    while (!program.tree.topLevel()[1].children.empty())
        program.tree.remove({1, 0});
    auto step = cursor.next(program.tree);
    ASSERT_TRUE(step);
    EXPECT_EQ(step->path, NodePath{1});
    program.tree.remove({0});
    program.tree.remove({0});
    step = cursor.next(program.tree);
    ASSERT_TRUE(step);
    EXPECT_EQ(step->finding->slot, 0u);
    EXPECT_EQ(step->path, NodePath{0});
}

struct SendRig : test::WholeInstrumentRig<test::SimLink> {
    SendRig() {
        editor.clearAll();
        setup.setDate("01-01-2026");
        setup.setTime("12:00:00");
        usb.OpenUsbPort();
    }
};

TEST(CheckActions, SendsAskBeforeAProgramWithErrorsAndSendNothingOnNo) {
    const std::string question = "The check found 1 error in the user program.\nSend it to the 41700 anyway?";
    const std::string overwrite = "Send Setup/Screens/Program.\nOverwrite settings in 41700?";
    struct Row {
        const char* name;
        bool whole;
        bool withErrors;
        std::vector<MsgResult> answers;
        std::vector<std::string> boxes;
        bool sent;
    } rows[] = {
        {"program, errors, No", false, true, {MsgResult::No}, {question}, false},
        {"program, errors, Yes", false, true, {MsgResult::Yes}, {question}, true},
        {"program, warnings only", false, false, {}, {}, true},
        {"whole, errors, No", true, true, {MsgResult::No}, {question}, false},
        {"whole, errors, Yes", true, true, {MsgResult::Yes, MsgResult::Yes}, {question, overwrite}, true},
        {"whole, warnings only", true, false, {MsgResult::Yes}, {overwrite}, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        SendRig rig;
        makeProgramWithAnError(rig.program);
        if (!r.withErrors) rig.program.store.setInstruction(0, 3);  // BEEP instead of the IF
        for (MsgResult a : r.answers)
            rig.host.setNextAnswer(a);
        const bool failed = !(r.whole ? workspace::SendCollection1(rig.transfers, {})
                                      : program::TxUserProgram(rig.programTransfer, {}))
                                 .ok();
        EXPECT_EQ(failed, !r.sent);
        std::vector<std::string> boxes;
        for (const auto& b : rig.host.boxes)
            boxes.push_back(b.text);
        EXPECT_EQ(boxes, r.boxes);
        EXPECT_EQ(rig.instrument.commandCounts.count(110) == 1, r.sent);
        if (!r.sent) {
            EXPECT_TRUE(rig.instrument.commandLog.empty());
        }
        // The findings are listed before the question, so the user can see what is asked about.
        const bool listed = std::search(rig.host.lines.begin(), rig.host.lines.end(), kFindingLines.begin(),
                                        kFindingLines.end()) != rig.host.lines.end();
        EXPECT_EQ(listed, r.withErrors);
    }
}

}  // namespace
}  // namespace vrn::check
