// Get and Send User Program against every fault of the simulated instrument: a failed Get leaves
// the program store and tree as they were; CRC errors and NAK storms are retried up to the limit.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/program/program_actions.h"
#include "core/program/program_model.h"
#include "core/program/program_transfer.h"
#include "fault_matrix.h"
#include "whole_instrument_rig.h"

namespace vrn::program {
namespace {

using Lines = std::vector<std::string>;

// The program as the window shows it: the store's bytes and the tree's texts.
struct Shown {
    std::vector<uint8_t> image;
    Lines texts;
    bool operator==(const Shown&) const = default;
};

Shown shownOf(const ProgramModel& p) {
    Shown s{{p.store.image().begin(), p.store.image().end()}, {}};
    p.tree.forEach(
        [&s](size_t depth, const std::string& text) { s.texts.push_back(std::string(depth, '\t') + text); });
    return s;
}

struct Rig : test::WholeInstrumentRig<test::MatrixLink> {
    ProgramTransfer& transfer = programTransfer;

    Rig() {
        program.tree.append({}, "LEFT OVER");
        program.store.setShortValue(3, 0, 0x1234);
    }
};

const Lines kTooManyBoxes = {"Too many errors.\nGet 41700 User Program failed.", kCommErrorText};

std::vector<test::FaultCase> programFaults(int command, uint64_t bytes) {
    auto faults = test::replyFaults({command});
    const std::vector<test::FaultCase> program = {
        {"every block corrupted once", [](sim::Faults& f) { f.program.corruptEvery = 1; }},
        {"every block corrupted 9 times", [](sim::Faults& f) { f.program.corruptEvery = 9; }},
        {"every block corrupted 10 times", [](sim::Faults& f) { f.program.corruptEvery = 10; }},
        {"block 40 corrupted 20 times", [](sim::Faults& f) { f.corruptBlocks[40] = 20; }},
        {"end CRC byte-swapped 3 times", [](sim::Faults& f) { f.program.wrongEndCrc = 3; }},
        {"end CRC byte-swapped 12 times", [](sim::Faults& f) { f.program.wrongEndCrc = 12; }},
        {"65 blocks sent", [](sim::Faults& f) { f.program.blocksToSend = 65; }},
        {"71 blocks sent", [](sim::Faults& f) { f.program.blocksToSend = 71; }},
        {"20 stray answers", [](sim::Faults& f) { f.program.strayAnswers = 20; }},
        {"silent after 30 blocks", [](sim::Faults& f) { f.program.silentAfterBlocks = 30; }},
    };
    faults.insert(faults.end(), program.begin(), program.end());
    const auto link = test::linkFaults(bytes, bytes / 40 + 1);
    faults.insert(faults.end(), link.begin(), link.end());
    return faults;
}

TEST(FaultMatrix, GetUserProgram) {
    Shown device;
    {
        Rig ref;
        ASSERT_TRUE(ref.transfer.GetUserProgram().ok());
        device = shownOf(ref.program);
    }
    const Shown before = shownOf(Rig().program);
    test::Matrix<Rig> m;
    m.transfer = "get program";
    m.boundMs = 15000;  // ten attempts or ten errors in a row, each a read time-out or a 1 s wait
    m.run = [](Rig& r) { return !RxProgram(r.transfer, {}).ok(); };
    m.check = [&](Rig& r, bool failed) {
        test::Verdict v;
        if (shownOf(r.program) != (failed ? before : device))
            v.model =
                failed ? "a failed Get changed the program" : "the Get got through with another program";
        if (!failed) {
            v.messages = test::expectEnd(r, "FINISHED GETTING USER PROGRAM.", {});
        } else if (r.host.lines == Lines{"GET USER PROGRAM..."}) {
            // No first block: the box alone says so.
            v.messages = test::expectEnd(r, "GET USER PROGRAM...", {kCommErrorText});
        } else {
            v.messages = test::expectEnd(r, "GET USER PROGRAM FAILED.", {kCommErrorText});
            if (!v.messages.empty())
                v.messages = test::expectEnd(r, "GET USER PROGRAM FAILED.", kTooManyBoxes);
        }
        return v;
    };
    test::runMatrix(m, programFaults(115, test::replyBytesOf(m)));
}

TEST(FaultMatrix, SendUserProgram) {
    Shown sent;
    std::vector<uint8_t> deviceAfter;
    {
        Rig ref;
        sent = shownOf(ref.program);
        ASSERT_TRUE(ref.transfer.SendUserProgram().ok());
        deviceAfter = ref.instrument.state.program;
    }
    test::Matrix<Rig> m;
    m.transfer = "send program";
    m.boundMs = 15000;  // ten attempts or ten errors in a row, each a read time-out or a 1 s wait
    m.run = [](Rig& r) { return !TxUserProgram(r.transfer, {}).ok(); };
    m.check = [&](Rig& r, bool failed) {
        test::Verdict v;
        if (shownOf(r.program) != sent) v.model = "the Send changed the program";
        if (failed) {
            v.messages = test::expectEnd(r, "SEND USER PROGRAM FAILED.", {kCommErrorText});
        } else {
            if (r.instrument.state.program != deviceAfter) v.model += "the instrument holds another program";
            v.messages = test::expectEnd(r, "FINISHED SENDING USER PROGRAM.", {});
        }
        return v;
    };
    const uint64_t bytes = test::replyBytesOf(m);
    auto faults = programFaults(110, bytes);
    // A stall before the last ACK lets the instrument give up waiting for the end packet.
    test::markLimit(faults, "stall 2 s at " + std::to_string(bytes - 1),
                    "the end packet goes out without waiting for a reply");
    const std::string why =
        "block packets carry no number: a stray NAK before the first one sends block 0 "
        "twice and the instrument takes a later block twice";
    test::markLimit(faults, "CMD110 stray first", why);
    test::markLimit(faults, "all stray NAK first", why);
    test::runMatrix(m, faults);
}

}  // namespace
}  // namespace vrn::program
