#include "core/program/program_transfer.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "core/link/crc32.h"
#include "core/program/catalogue.h"
#include "core/program/program_actions.h"
#include "core/program/program_packets.h"
#include "core/program/transfer_image.h"
#include "program_rig.h"
#include "sim_link.h"
#include "whole_instrument_rig.h"

namespace vrn::program {
namespace {

using Lines = std::vector<std::string>;

std::span<const uint8_t> bytesOf(std::string_view s) {
    return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

uint16_t big16(const std::vector<uint8_t>& image, size_t at) {
    return static_cast<uint16_t>((image[at] << 8) | image[at + 1]);
}

// A program made in the editor with every instruction of the catalogue, some values typed.
void everyInstruction(test::ProgramRig& rig) {
    for (uint32_t n = 1; n < kInstructionCount; ++n) {
        rig.selectEnd();
        rig.editor.insertInstruction(static_cast<int>(n - 1));
    }
    ProgramModel& p = rig.program;
    // ALARM (slot 0): set1 typed as "-.5", sloc as 123, span choice INCL.
    p.store.setFloatValue(0, 1, -0.5f);
    p.store.setTextField(0, 1, "-.5");
    p.tree.setText({0, 1}, "set1= -.5");
    p.store.setIntValue(0, 0, 123);
    p.store.setTextField(0, 0, "123");
    p.tree.setText({0, 0}, "sloc= 123");
    p.store.setShortValue(0, 4, 1);
    p.tree.setText({0, 4}, "span= INCL");
    // DISPLAY TEXT (slot 7): a degree sign kept as its tilde.
    p.store.setTextArea(7, "25~C");
    p.tree.setText({7, 3}, "text= 25\u00B0C");
    // FLAG SET MASK (slot 13): mask BEEF.
    p.store.setShortValue(13, 0, 0xBEEF);
    p.store.setTextField(13, 0, "BEEF");
    p.tree.setText({13, 0}, "mask= BEEF");
}

struct Rig : test::WholeInstrumentRig<test::SimLink> {
    ProgramTransfer& transfer = programTransfer;
    Rig() { usb.OpenUsbPort(); }
    std::vector<uint8_t>& device() { return instrument.state.program; }
    sim::ProgramFaults& faults() { return instrument.faults.program; }
    // Sends `from` to the instrument through a transfer of its own.
    bool upload(ProgramModel& from) {
        ProgramTransfer t{ex, from};
        return !t.SendUserProgram().ok();
    }
};

std::vector<std::string> texts(const ProgramTree& tree) {
    std::vector<std::string> out;
    tree.forEach(
        [&out](size_t depth, const std::string& text) { out.push_back(std::string(depth, '\t') + text); });
    return out;
}

TEST(ProgramCrc, Mpeg2CheckValuesAndTheEndPackets) {
    struct Row {
        const char* name;
        std::string bytes;
        uint32_t crc;
    } rows[] = {
        {"check string", "123456789", 0x0376E6E7u},
        {"nothing keeps the initial value", "", 0xFFFFFFFFu},
        {"end header", "\xCD\xEF", 0x23EEE84Au},
    };
    for (const Row& r : rows)
        EXPECT_EQ(crc32Mpeg2(bytesOf(r.bytes)), r.crc) << r.name;
    EXPECT_EQ(instrumentEndPacket(), (std::array<uint8_t, 6>{0xCD, 0xEF, 0x23, 0xEE, 0xE8, 0x4A}));
    EXPECT_EQ(utilityEndPacket(), (std::array<uint8_t, 6>{0xCD, 0xEF, 0x4A, 0xE8, 0xEE, 0x23}));
}

TEST(ProgramImage, ValuesAreConvertedByKindAndUnusedSlotsMarked) {
    test::ProgramRig rig;
    everyInstruction(rig);
    const std::vector<uint8_t> image = buildTransferImage(rig.program.store);
    ASSERT_EQ(image.size(), 67584u);
    struct Row {
        const char* name;
        size_t at;
        std::vector<uint8_t> bytes;
    } rows[] = {
        {"instruction number most significant first", 0, {0x00, 0x01}},
        {"integer: low 16 bits swapped, two zeros", 2, {0x00, 0x7B, 0x00, 0x00}},
        {"decimal: the float's bytes reversed", 2 + 12, {0xBF, 0x00, 0x00, 0x00}},
        {"decimal text copied", 2 + 12 + 4, {'-', '.', '5', 0}},
        {"choice: index swapped", 2 + 12 * 4, {0x00, 0x01, 0x00, 0x00}},
        {"hex: value swapped", 13 * 128 + 2, {0xBE, 0xEF, 0x00, 0x00}},
        {"text area unchanged", 7 * 128 + 86, {'2', '5', '~', 'C', 0}},
        {"PGM END slot", 52 * 128, {0x00, 0x00}},
        {"slot after PGM END", 53 * 128, {0xFF, 0xFF}},
        {"last slot", 511 * 128, {0xFF, 0xFF}},
        {"order entry 52", 65536 + 52 * 4, {0x00, 0x34, 0xFF, 0xFF}},
        {"order entry 53", 65536 + 53 * 4, {0xFF, 0xFF, 0xFF, 0xFF}},
        {"last order entry", 65536 + 511 * 4, {0xFF, 0xFF, 0xFF, 0xFF}},
    };
    for (const Row& r : rows)
        EXPECT_EQ(std::vector<uint8_t>(image.begin() + static_cast<long>(r.at),
                                       image.begin() + static_cast<long>(r.at + r.bytes.size())),
                  r.bytes)
            << r.name;
}

TEST(ProgramImage, FullProgramHasNoUnusedSlotOrEntry) {
    ProgramStore store;
    for (size_t k = 0; k < 511; ++k)
        store.setInstruction(k, 3);  // BEEP
    store.setInstruction(511, 0);
    const std::vector<uint8_t> image = buildTransferImage(store);
    for (size_t k = 0; k < 512; ++k) {
        EXPECT_NE(big16(image, k * 128), 0xFFFF) << k;
        EXPECT_EQ(big16(image, 65536 + k * 4), k);
    }
}

TEST(ProgramTransfer, RoundTripOfEveryInstruction) {
    test::ProgramRig made;
    everyInstruction(made);
    Rig rig;
    ASSERT_FALSE(rig.upload(made.program));
    EXPECT_EQ(rig.host.lines, (Lines{"SEND USER PROGRAM...", "FINISHED SENDING USER PROGRAM."}));
    EXPECT_EQ(rig.instrument.blocksReceived, 66 + 1);  // the blocks and the end packet

    // Back into a fresh program: the same tree, and every field the transfer carries.
    rig.host.lines.clear();
    ASSERT_TRUE(rig.transfer.GetUserProgram().ok());
    EXPECT_EQ(texts(rig.program.tree), texts(made.program.tree));
    EXPECT_EQ(rig.host.lines.front(), "GET USER PROGRAM...");
    EXPECT_EQ(rig.host.lines.back(), "FINISHED GETTING USER PROGRAM.");
    EXPECT_EQ(rig.host.progressMax, 67);
    EXPECT_EQ(rig.host.progress.back(), 0);
    const ProgramStore& a = made.program.store;
    const ProgramStore& b = rig.program.store;
    for (size_t k = 0; k < kInstructionCount; ++k) {
        ASSERT_EQ(b.instruction(k), a.instruction(k)) << k;
        const InstrDesc& instr = *instruction(a.instruction(k));
        for (size_t j = 0; j < instr.paramCount; ++j) {
            const KindClass kind = classify(instr.params[j].kind);
            if (kind == KindClass::Text) {
                EXPECT_EQ(b.textArea(k), a.textArea(k)) << k;
                continue;
            }
            EXPECT_EQ(b.value(k, j), a.value(k, j)) << k << " " << j;
            if (kind != KindClass::Choice) {
                EXPECT_EQ(b.textField(k, j), a.textField(k, j)) << k << " " << j;
            }
        }
    }
    EXPECT_EQ(b.textArea(7), "25~C");
    EXPECT_EQ(rig.program.tree.find({7, 3})->text, "text= 25\u00B0C");

    // Into the program it came from: not one store byte changes.
    const auto before = std::vector<uint8_t>(a.image().begin(), a.image().end());
    ProgramTransfer again{rig.ex, made.program};
    ASSERT_TRUE(again.GetUserProgram().ok());
    EXPECT_TRUE(std::equal(before.begin(), before.end(), made.program.store.image().begin()));
}

TEST(ProgramTransfer, PgmEndOnlyBothWays) {
    Rig rig;
    ProgramModel empty;
    ASSERT_FALSE(rig.upload(empty));
    const std::vector<uint8_t>& image = rig.device();
    EXPECT_EQ(big16(image, 0), 0);
    EXPECT_EQ(big16(image, 65536), 0);
    for (size_t k = 1; k < 512; ++k) {
        ASSERT_EQ(big16(image, k * 128), 0xFFFF) << k;
        ASSERT_EQ(big16(image, 65536 + k * 4), 0xFFFF) << k;
        ASSERT_EQ(big16(image, 65536 + k * 4 + 2), 0xFFFF) << k;
    }
    // Block 0 went out in answer to the first NAK, which stays on the count until the first ACK.
    EXPECT_EQ(rig.host.beepTimesUs.size(), 1u);
    EXPECT_EQ(rig.host.progress.size(), 66u);  // blocks 1..65, then 0

    rig.program.tree.append({}, "LEFT OVER");
    ASSERT_TRUE(rig.transfer.GetUserProgram().ok());
    EXPECT_EQ(texts(rig.program.tree), (Lines{"PGM END"}));
    EXPECT_EQ(std::count(rig.host.lines.begin(), rig.host.lines.end(), "FIRST HEADER..."), 1);
    EXPECT_EQ(rig.host.lines[rig.host.lines.size() - 2], "LAST HEADER...");
}

TEST(ProgramTransfer, DownloadOfTheInstrumentsOwnProgramInTableOrder) {
    Rig plain;
    ASSERT_TRUE(plain.transfer.GetUserProgram().ok());
    const auto expected = texts(plain.program.tree);
    EXPECT_GE(plain.program.tree.topCount(), 12u);
    EXPECT_EQ(plain.program.tree.topLevel().back().text, "PGM END");

    Rig shuffled;
    shuffled.faults().shuffleSlots = true;
    ASSERT_TRUE(shuffled.transfer.GetUserProgram().ok());
    EXPECT_EQ(texts(shuffled.program.tree), expected);
}

TEST(ProgramTransfer, BadBlockCopiesAreRetriedUpToTheLimit) {
    struct Row {
        const char* name;
        bool download;
        int every;
        std::map<int, int> chosen;
        bool failed;
    } rows[] = {
        {"download, 9 bad copies of every block", true, 9, {}, false},
        {"download, 10 bad copies of block 4", true, 0, {{4, 10}}, true},
        {"upload, 8 bad copies of every block (block 0 has its first NAK too)", false, 8, {}, false},
        {"upload, block 0: the first NAK counts, 8 more pass", false, 0, {{0, 8}}, false},
        {"upload, block 0: 9 more fail", false, 0, {{0, 9}}, true},
        {"upload, block 5: 9 bad copies pass", false, 0, {{5, 9}}, false},
        {"upload, block 5: 10 fail", false, 0, {{5, 10}}, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Rig rig;
        rig.faults().corruptEvery = r.every;
        rig.instrument.faults.corruptBlocks = r.chosen;
        const auto before = texts(rig.program.tree);
        ProgramModel sent;
        const bool failed = r.download ? !rig.transfer.GetUserProgram().ok() : rig.upload(sent);
        EXPECT_EQ(failed, r.failed);
        const Lines& lines = rig.host.lines;
        if (r.download && r.failed) {
            const Lines tail(lines.end() - 4, lines.end());
            EXPECT_EQ(tail, (Lines{"TOO MANY CRC ERRORS.", "GET USER PROGRAM FAILED.", "TOO MANY ERRORS.",
                                   "GET USER PROGRAM FAILED."}));
            EXPECT_EQ(std::count(lines.begin(), lines.end(), "CRC COMPARE ERR."), 10);
            ASSERT_EQ(rig.host.boxes.size(), 1u);
            EXPECT_EQ(rig.host.boxes[0].text, "Too many errors.\nGet 41700 User Program failed.");
            EXPECT_EQ(texts(rig.program.tree), before);
        } else if (r.download) {
            EXPECT_EQ(std::count(lines.begin(), lines.end(), "CRC COMPARE ERR."), 9 * 66);
        } else {
            EXPECT_EQ(lines.back(),
                      r.failed ? "SEND USER PROGRAM FAILED." : "FINISHED SENDING USER PROGRAM.");
        }
    }
}

TEST(ProgramTransfer, DownloadsThatCannotBeDecodedLeaveTheProgram) {
    struct Row {
        const char* name;
        std::function<void(Rig&)> spoil;
        Lines lastLines;
        size_t boxes;
    } rows[] = {
        {"fewer than 66 blocks",
         [](Rig& r) { r.faults().blocksToSend = 60; },
         {"ONLY 60 OF 66 BLOCKS RECEIVED.", "GET USER PROGRAM FAILED."},
         0},
        {"more than 70 blocks",
         [](Rig& r) { r.faults().blocksToSend = 75; },
         {"MORE THAN 70 BLOCKS RECEIVED.", "GET USER PROGRAM FAILED."},
         0},
        {"an end packet that keeps failing its check",
         [](Rig& r) { r.faults().wrongEndCrc = 100; },
         {"CRC COMPARE END ERR.", "TOO MANY END ERRORS.", "GET USER PROGRAM FAILED."},
         0},
        {"order table entry 512",
         [](Rig& r) {
             r.device()[65536 + 3 * 4] = 0x02;
             r.device()[65536 + 3 * 4 + 1] = 0x00;
         },
         {"003 00512 NO SUCH SLOT.", "GET USER PROGRAM FAILED."},
         1},
        {"an instruction the catalogue lacks",
         [](Rig& r) { r.device()[2 * 128 + 1] = 60; },
         {"002 00002 00060", "GET USER PROGRAM FAILED."},
         1},
        {"no PGM END in 512 entries",
         [](Rig& r) {
             for (size_t k = 0; k < 512; ++k) {
                 r.device()[k * 128] = 0;
                 r.device()[k * 128 + 1] = 3;
                 r.device()[65536 + k * 4] = static_cast<uint8_t>(k >> 8);
                 r.device()[65536 + k * 4 + 1] = static_cast<uint8_t>(k);
             }
         },
         {"RECEIVED USER PROGRAM HAS NO PGM END.", "GET USER PROGRAM FAILED."},
         1},
        {"silent after 3 blocks",
         [](Rig& r) { r.faults().silentAfterBlocks = 3; },
         {"TOO MANY ERRORS.", "GET USER PROGRAM FAILED."},
         1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Rig rig;
        r.spoil(rig);
        rig.program.store.setInstruction(5, 0xABCD);
        ASSERT_FALSE(rig.transfer.GetUserProgram().ok());
        const Lines& lines = rig.host.lines;
        ASSERT_GE(lines.size(), r.lastLines.size());
        EXPECT_EQ(Lines(lines.end() - static_cast<long>(r.lastLines.size()), lines.end()), r.lastLines);
        EXPECT_EQ(rig.host.boxes.size(), r.boxes);
        EXPECT_EQ(texts(rig.program.tree), (Lines{"PGM END"}));
        EXPECT_EQ(rig.program.store.instruction(5), 0xABCD);
        EXPECT_EQ(rig.program.store.instruction(0), 0);
        EXPECT_TRUE(rig.host.timer_.enabled());
    }
}

TEST(ProgramTransfer, MenuItemsSayWhatWasWrongWithTheProgram) {
    const std::string failed = "\nGet 41700 User Program failed.";
    struct Row {
        const char* name;
        bool send;
        std::function<void(Rig&)> spoil;
        std::string box;
        const char* lastLine;  // nullptr: no line at all
    } rows[] = {
        {"an instruction the catalogue lacks", false, [](Rig& r) { r.device()[2 * 128 + 1] = 60; },
         "The received program cannot be used.\nInstruction 003 has the unknown number 60." + failed,
         "GET USER PROGRAM FAILED."},
        {"order table entry 512", false,
         [](Rig& r) {
             r.device()[65536 + 3 * 4] = 0x02;
             r.device()[65536 + 3 * 4 + 1] = 0x00;
         },
         "The received program cannot be used.\nInstruction 004 is in slot 512, past the last slot 511." +
             failed,
         "GET USER PROGRAM FAILED."},
        {"no PGM END received", false,
         [](Rig& r) {
             for (size_t k = 0; k < 512; ++k) {
                 r.device()[k * 128] = 0;
                 r.device()[k * 128 + 1] = 3;
                 r.device()[65536 + k * 4] = static_cast<uint8_t>(k >> 8);
                 r.device()[65536 + k * 4 + 1] = static_cast<uint8_t>(k);
             }
         },
         "The received program cannot be used.\nThe program has no PGM END." + failed,
         "GET USER PROGRAM FAILED."},
        {"no first block", false, [](Rig& r) { r.instrument.faults.all = sim::Fault::silent(); },
         kCommErrorText, "GET USER PROGRAM FAILED."},
        {"a store without PGM END is not sent", true,
         [](Rig& r) {
             for (size_t k = 0; k < 512; ++k)
                 r.program.store.setInstruction(k, 3);
         },
         "Cannot Send User Program.\nThe program has no PGM END.", nullptr},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Rig rig;
        r.spoil(rig);
        const Outcome outcome = r.send ? TxUserProgram(rig.transfer, {}) : RxProgram(rig.transfer, {});
        EXPECT_FALSE(outcome.ok());
        ASSERT_EQ(rig.host.boxes.size(), 1u);
        EXPECT_EQ(rig.host.boxes[0].text, r.box);
        if (r.lastLine != nullptr) {
            ASSERT_FALSE(rig.host.lines.empty());
            EXPECT_EQ(rig.host.lines.back(), r.lastLine);
        } else {
            EXPECT_TRUE(rig.host.lines.empty());
        }
        // The program itself at fault: refused before sending, or one that came and cannot be used.
        EXPECT_EQ(outcome.kind() == Outcome::Kind::ProgramAtFault || outcome.kind() == Outcome::Kind::Refused,
                  r.box != kCommErrorText);
        if (r.send) {
            EXPECT_EQ(rig.instrument.commandCounts[110], 0);
        }
    }
}

TEST(ProgramTransfer, EndsAtTheNextReadOnceTheWindowIsClosing) {
    struct Row {
        const char* name;
        bool send;
        int pumpsBeforeClosing;
    } rows[] = {
        {"download, closed at its first pump", false, 1},
        {"download, closed after some blocks", false, 10},
        {"upload, closed at once", true, 1},
        {"upload, closed after some blocks", true, 10},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Rig rig;
        int64_t closedAtUs = -1;
        rig.host.closingWhen = [&rig, &r, &closedAtUs] {
            if (rig.host.pumps < r.pumpsBeforeClosing) return false;
            if (closedAtUs < 0) closedAtUs = rig.host.clock_.nowUs();
            return true;
        };
        EXPECT_EQ((r.send ? rig.transfer.SendUserProgram() : rig.transfer.GetUserProgram()).kind(),
                  Outcome::Kind::Aborted);
        ASSERT_GE(closedAtUs, 0);
        // Nothing more is read after the close is seen: no read time-out runs out after it.
        EXPECT_LT(rig.host.clock_.nowUs() - closedAtUs, 250'000);
        EXPECT_EQ(rig.host.lines.back(), r.send ? "SEND USER PROGRAM FAILED." : "GET USER PROGRAM FAILED.");
        EXPECT_EQ(texts(rig.program.tree), (Lines{"PGM END"}));
    }
}

TEST(ProgramTransfer, DownloadEdgesThatStillSucceed) {
    struct Row {
        const char* name;
        std::function<void(Rig&)> spoil;
        int endErrors;
    } rows[] = {
        {"two wrong end packets, then the right one", [](Rig& r) { r.faults().wrongEndCrc = 2; }, 2},
        {"68 blocks: the image is the first 66", [](Rig& r) { r.faults().blocksToSend = 68; }, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Rig rig;
        r.spoil(rig);
        ASSERT_TRUE(rig.transfer.GetUserProgram().ok());
        EXPECT_EQ(std::count(rig.host.lines.begin(), rig.host.lines.end(), "CRC COMPARE END ERR."),
                  r.endErrors);
        EXPECT_EQ(rig.program.tree.topLevel().back().text, "PGM END");
    }
    Rig rig;
    rig.device()[8 * 128 + 2 + 12 * 4 + 1] = 0x09;  // DISPLAY TEXT's font: no ninth choice
    ASSERT_TRUE(rig.transfer.GetUserProgram().ok());
    ASSERT_EQ(rig.program.tree.find({8})->text, "DISPLAY TEXT");
    EXPECT_EQ(rig.program.tree.find({8, 4})->text, "font= ");
    EXPECT_EQ(rig.program.store.shortValue(8, 4), 9);
}

// The download ends when the end packet is whole, not a read's time limit later; a wrong end
// packet is still waited out, as a block with a damaged header would be.
TEST(ProgramTransfer, DownloadEndsWithTheEndPacket) {
    struct Row {
        const char* name;
        int wrongEnds;
    } rows[] = {{"right end packet", 0}, {"one wrong end packet first", 1}};
    // The command's pacing, 66 blocks and the end packet on the line, the instrument's latencies.
    constexpr int64_t kLineUs =
        8 * kPaceUs + (66 * 1030 + 6) * sim::Instrument::kByteTimeUs + 67 * sim::Instrument::kReplyLatencyUs;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Rig rig;
        rig.faults().wrongEndCrc = r.wrongEnds;
        const int64_t start = rig.host.clock_.nowUs();
        ASSERT_TRUE(rig.transfer.GetUserProgram().ok());
        const int64_t waitedOutUs = r.wrongEnds * static_cast<int64_t>(UsbPort::kReadTimeoutMs) * 1000;
        EXPECT_NEAR(static_cast<double>(rig.host.clock_.nowUs() - start),
                    static_cast<double>(kLineUs + waitedOutUs), 3000.0);
    }
}

TEST(ProgramTransfer, DownloadStopsTimer1AndGivesUpAfterTenCommands) {
    Rig rig;
    rig.faults().silentAfterBlocks = 3;  // ten empty reads, pumping between them
    rig.host.timer_.start(rig.host.clock_.nowMs());
    int ticks = 0;
    rig.host.onTick = [&ticks] { ++ticks; };
    EXPECT_FALSE(rig.transfer.GetUserProgram().ok());
    EXPECT_GT(rig.host.pumps, 10);
    EXPECT_EQ(ticks, 0);
    EXPECT_TRUE(rig.host.timer_.enabled());

    Rig silent;
    silent.instrument.faults.perCommand[115] = sim::Fault::silent();
    silent.host.timer_.stop();
    const int64_t start = silent.host.clock_.nowMs();
    EXPECT_FALSE(silent.transfer.GetUserProgram().ok());
    EXPECT_EQ(silent.instrument.commandCounts[115], ProgramTransfer::kFirstBlockTries);
    EXPECT_GE(silent.host.clock_.nowMs() - start, 10 * 250);
    EXPECT_EQ(silent.host.lines, (Lines{"GET USER PROGRAM...", "GET USER PROGRAM FAILED."}));
    EXPECT_FALSE(silent.host.timer_.enabled());  // it was off before and stays so
}

TEST(ProgramTransfer, UploadTimeoutsAndStrayBytesCountAsErrors) {
    struct Row {
        const char* name;
        std::function<void(Rig&)> spoil;
        bool failed;
        size_t beeps;
    } rows[] = {
        {"a silent instrument: ten time-outs",
         [](Rig& r) { r.instrument.faults.perCommand[110] = sim::Fault::silent(); }, true, 10},
        {"silent after 10 blocks", [](Rig& r) { r.faults().silentAfterBlocks = 10; }, true, 1 + 10},
        {"stray bytes before 20 answers", [](Rig& r) { r.faults().strayAnswers = 20; }, false, 1 + 20},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Rig rig;
        r.spoil(rig);
        const auto before = rig.device();
        ProgramModel sent;
        EXPECT_EQ(rig.upload(sent), r.failed);
        EXPECT_EQ(rig.host.beepTimesUs.size(), r.beeps);
        EXPECT_EQ(rig.device() == before, r.failed);
    }
    // Each time-out comes between 1,000 ms and one read time-out later than the one before.
    Rig rig;
    rig.instrument.faults.perCommand[110] = sim::Fault::silent();
    ProgramModel sent;
    const int64_t start = rig.host.clock_.nowUs();
    ASSERT_TRUE(rig.upload(sent));
    int64_t last = start;
    for (int64_t at : rig.host.beepTimesUs) {
        EXPECT_GE(at - last, ProgramTransfer::kReplyTimeoutMs * 1000);
        EXPECT_LE(at - last, (ProgramTransfer::kReplyTimeoutMs + 250) * 1000 + 20000);
        last = at;
    }
    EXPECT_EQ(rig.host.lines.back(), "SEND USER PROGRAM FAILED.");
    EXPECT_EQ(rig.host.progress, (std::vector<int>{0}));
}

}  // namespace
}  // namespace vrn::program
