// Get and Send Setup against every fault of the simulated instrument: each ends within its bound
// with its failure line and the communication-error box, or gets through whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/setup/setup_actions.h"
#include "core/setup/setup_model.h"
#include "core/setup/setup_transfer.h"
#include "fault_matrix.h"
#include "setup_steps.h"
#include "whole_instrument_rig.h"

namespace vrn::setup {
namespace {

using test::readSoFar;
using test::Steps;
using test::stepsOf;

struct Rig : test::WholeInstrumentRig<test::MatrixLink> {
    SetupModel& model = setup;
    SetupTransfer& transfer = setupTransfer;

    Rig() {
        model.setUsePcTime(false);
        sim::SimSetup& d = instrument.state.setup;
        d.month = 7;
        d.day = 14;
        d.hour = 9;
        d.com1Code = 38;
        d.com2Code = 230;
        d.keyLock = 1;
        d.interval = 42;
        d.fieldsPerRecord = 4;
        d.scrollPause = 17;
        d.fields[0] = {"TEMP", 0, 6, 2};
    }
};

const std::vector<int> kGetCommands = {275, 285, 225, 235, 245, 265, 255, 315, 325, 331, 333, 335};
const std::vector<int> kSendCommands = {270, 280, 260, 250, 310, 330, 332, 334, 220, 230, 320};

TEST(FaultMatrix, GetSetup) {
    Steps device;
    {
        Rig ref;
        ASSERT_TRUE(ref.transfer.GetUserSettings().ok());
        device = stepsOf(ref.model);
    }
    const Steps before = stepsOf(Rig().model);
    test::Matrix<Rig> m;
    m.transfer = "get setup";
    m.boundMs = 20000;  // one query given up after its ten tries, a few more retried
    m.run = [](Rig& r) {
        const Outcome outcome = RxSetup(r.transfer, {});
        const bool failed = r.host.lines.back() != "FINISHED GETTING SETUP.";
        EXPECT_EQ(outcome.ok(), !failed) << "the outcome says what the last line says";
        return failed;
    };
    m.check = [&](Rig& r, bool failed) {
        test::Verdict v;
        v.model = readSoFar(stepsOf(r.model), device, before, failed);
        if (failed)
            v.messages = test::expectEnd(r, "GET SETUP FAILED.", {kCommErrorText});
        else if (r.host.boxes.size() != 0)
            v.messages = "a box after a Get that got through";
        return v;
    };
    auto faults = test::replyFaults(kGetCommands);
    const auto link = test::linkFaults(test::replyBytesOf(m), 97);
    faults.insert(faults.end(), link.begin(), link.end());
    for (const int c : kGetCommands)
        test::markLimit(
            faults, "CMD" + std::to_string(c) + " stall",
            "replies name no command: one later than all the query's tries is read by the next query");
    test::runMatrix(m, faults);
}

TEST(FaultMatrix, SendSetup) {
    const auto sent = [](SetupModel& m) {
        m.setUsePcTime(false);
        m.setDate("03-04-2026");
        m.setTime("05:06:07");
        m.setCom1Baud(3);
        m.setKeyLock(true);
        m.setInterval(77);
        m.setFieldsPerRecord(5);
        m.setScrollEnd(3);
        m.setLabel(2, "WIND");
        m.setWidth(2, 8);
    };
    Steps wanted;
    {
        Rig ref;
        sent(ref.model);
        wanted = stepsOf(ref.model);
    }
    test::Matrix<Rig> m;
    m.transfer = "send setup";
    m.boundMs = 25000;  // one setting given up after ten sends of two seconds each
    m.run = [&](Rig& r) {
        sent(r.model);
        const Outcome outcome = TxSetup(r.transfer, {});
        const bool failed = r.host.lines.back() != "FINISHED SENDING SETTINGS.";
        EXPECT_EQ(outcome.ok(), !failed) << "the outcome says what the last line says";
        return failed;
    };
    m.check = [&](Rig& r, bool failed) {
        test::Verdict v;
        if (stepsOf(r.model) != wanted) v.model = "the Send changed the model";
        if (failed) {
            v.messages = test::expectEnd(r, "SEND SETTINGS FAILED.", {kCommErrorText});
            return v;
        }
        if (r.host.boxes.size() != 0) v.messages = "a box after a Send that got through";
        // What got through is on the instrument: a clean Get reads it back (its clock has run on).
        r.instrument.faults = {};
        SetupModel back;
        back.setUsePcTime(false);
        SetupTransfer get{r.ex, back};
        if (!get.GetUserSettings().ok())
            v.model += "the Get after the Send failed";
        else if (!std::equal(wanted.begin() + 2, wanted.end(), stepsOf(back).begin() + 2))
            v.model += "the instrument holds other values than sent";
        return v;
    };
    auto faults = test::replyFaults(kSendCommands);
    const auto link = test::linkFaults(test::replyBytesOf(m), 3);
    faults.insert(faults.end(), link.begin(), link.end());
    test::runMatrix(m, faults);
}

}  // namespace
}  // namespace vrn::setup
