#include "sim/program_commands.h"

#include <algorithm>
#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "core/program/catalogue.h"
#include "core/program/node_text.h"
#include "core/program/param_input.h"
#include "core/program/program_packets.h"
#include "core/program/program_store.h"
#include "core/program/transfer_image.h"
#include "sim/instrument.h"

namespace vrn::sim {
namespace {

uint16_t numberOf(std::string_view name) {
    for (uint32_t n = 0; n < kInstructionCount; ++n)
        if (instruction(n)->name == name) return static_cast<uint16_t>(n);
    std::abort();  // the default program names only catalogue instructions
}

// Writes instruction `name` into slot k with one value per parameter, typed as the editor would
// store it (a choice by its index).
void put(ProgramStore& store, size_t k, std::string_view name,
         std::initializer_list<std::string_view> values) {
    const uint16_t number = numberOf(name);
    const InstrDesc& instr = *instruction(number);
    store.setInstruction(k, number);
    size_t j = 0;
    for (std::string_view value : values) {
        const ParamDesc& param = instr.params[j];
        switch (classify(param.kind)) {
        case KindClass::Integer: {
            const int32_t v = readIntegerInput(value);
            store.setIntValue(k, j, v);
            store.setTextField(k, j, formatInteger(v, param.width));
            break;
        }
        case KindClass::Decimal:
            store.setFloatValue(k, j, readDecimalInput(value));
            store.setTextField(k, j, value);
            break;
        case KindClass::Text:
            store.setTextArea(k, value);
            break;
        case KindClass::Hex:
            store.setShortValue(k, j, readHexInput(value));
            store.setTextField(k, j, formatHex(readHexInput(value)));
            break;
        case KindClass::Choice:
            store.setShortValue(k, j, static_cast<uint16_t>(readIntegerInput(value)));
            break;
        case KindClass::None:
            break;
        }
        ++j;
    }
}

// The transfer image with its program's slots stored last to first; the order table still lists
// them in program order.
std::vector<uint8_t> reversedSlots(const std::vector<uint8_t>& image) {
    size_t used = 0;
    while (used < ProgramStore::kSlotCount &&
           !(image[kTransferSlotsSize + used * kOrderEntrySize] == 0xFF &&
             image[kTransferSlotsSize + used * kOrderEntrySize + 1] == 0xFF))
        ++used;
    std::vector<uint8_t> out = image;
    const size_t slot = ProgramStore::kSlotSize;
    for (size_t k = 0; k < used; ++k) {
        const size_t from = (image[kTransferSlotsSize + k * kOrderEntrySize] << 8) |
                            image[kTransferSlotsSize + k * kOrderEntrySize + 1];
        if (from >= ProgramStore::kSlotCount) return image;
        const size_t to = used - 1 - k;
        std::copy_n(image.begin() + static_cast<std::ptrdiff_t>(from * slot), slot,
                    out.begin() + static_cast<std::ptrdiff_t>(to * slot));
        out[kTransferSlotsSize + k * kOrderEntrySize] = static_cast<uint8_t>(to >> 8);
        out[kTransferSlotsSize + k * kOrderEntrySize + 1] = static_cast<uint8_t>(to);
    }
    return out;
}

// Ends the program of an image one instruction early: the slot of the last position before
// PGM END becomes PGM END.
void dropLastInstruction(std::vector<uint8_t>& image) {
    const auto entry = [&image](size_t k) {
        return static_cast<size_t>((image[kTransferSlotsSize + k * kOrderEntrySize] << 8) |
                                   image[kTransferSlotsSize + k * kOrderEntrySize + 1]);
    };
    for (size_t k = 1; k < ProgramStore::kSlotCount; ++k) {
        const size_t slot = entry(k);
        if (slot >= ProgramStore::kSlotCount) return;
        if (image[slot * ProgramStore::kSlotSize] != 0 || image[slot * ProgramStore::kSlotSize + 1] != 0)
            continue;
        const size_t last = entry(k - 1);
        image[last * ProgramStore::kSlotSize] = 0;
        image[last * ProgramStore::kSlotSize + 1] = 0;
        return;
    }
}

// Whether block `index` is to be spoiled this time, counting one use of the fault.
bool corruptNow(Instrument& in, int index, int& everyLeft) {
    auto chosen = in.faults.corruptBlocks.find(index);
    if (chosen != in.faults.corruptBlocks.end() && chosen->second > 0) {
        --chosen->second;
        return true;
    }
    if (everyLeft > 0) {
        --everyLeft;
        return true;
    }
    return false;
}

void corrupt(std::vector<uint8_t>& packet) {
    packet[kBlockHeaderSize + packet.size() / 2] ^= 0x5A;
}

// One CMD115: the blocks go out one by one, each after the answer to the one before.
struct Download {
    std::vector<uint8_t> image;
    int blocks = kProgramBlocks;
    int current = 0;
    int everyLeft = 0;  // corrupted copies still due for the current block

    std::vector<uint8_t> packet(Instrument& in) {
        std::vector<uint8_t> data(kBlockDataSize);
        const size_t at = static_cast<size_t>(current) * kBlockDataSize;
        if (at < image.size())
            std::copy_n(image.begin() + static_cast<std::ptrdiff_t>(at),
                        std::min(kBlockDataSize, image.size() - at), data.begin());
        std::vector<uint8_t> out = blockPacket(current, data);
        if (corruptNow(in, current, everyLeft)) corrupt(out);
        return out;
    }

    bool silent(const Instrument& in) const {
        const auto& after = in.faults.program.silentAfterBlocks;
        return after && current >= *after;
    }

    void sendCurrent(Instrument& in) {
        if (silent(in)) return;
        if (current < blocks) {
            in.replyBytes(packet(in));
            return;
        }
        ProgramFaults& f = in.faults.program;
        const auto end = f.wrongEndCrc > 0 ? utilityEndPacket() : instrumentEndPacket();
        if (f.wrongEndCrc > 0) --f.wrongEndCrc;
        in.replyBytes(end);
    }
};

void awaitAnswer(Instrument& in, const std::shared_ptr<Download>& d) {
    in.expectBlock(1, [d](Instrument& i, std::span<const uint8_t> answer) {
        if (answer[0] == kProgramAck) {
            if (d->current >= d->blocks) return;  // the end packet was taken
            ++d->current;
            d->everyLeft = i.faults.program.corruptEvery;
            d->sendCurrent(i);
        } else if (answer[0] == kProgramNak) {
            d->sendCurrent(i);
        } else {
            // Not an answer: the PC gave up and this is the start of its next command.
            i.handOver(answer);
            return;
        }
        awaitAnswer(i, d);
    });
}

// One CMD110: blocks are checked, answered and kept; the end packet stores the image.
struct Upload {
    std::vector<uint8_t> image;
    int accepted = 0;
    int everyLeft = 0;

    void answer(Instrument& in, uint8_t byte) {
        const auto& after = in.faults.program.silentAfterBlocks;
        if (after && accepted >= *after) return;
        std::vector<uint8_t> out;
        if (in.faults.program.strayAnswers > 0) {
            --in.faults.program.strayAnswers;
            out.push_back('?');
        }
        out.push_back(byte);
        in.replyBytes(out);
    }
};

void awaitBlock(Instrument& in, const std::shared_ptr<Upload>& u) {
    if (u->accepted == kProgramBlocks) {
        in.expectBlock(kEndPacketSize, [u](Instrument& i, std::span<const uint8_t> end) {
            const auto expected = utilityEndPacket();
            if (!std::equal(end.begin(), end.end(), expected.begin())) return;
            i.state.program.assign(u->image.begin(), u->image.begin() + kTransferImageSize);
            if (i.faults.program.loseLastInstruction) dropLastInstruction(i.state.program);
        });
        return;
    }
    in.expectBlock(kBlockPacketSize, [u](Instrument& i, std::span<const uint8_t> received) {
        std::vector<uint8_t> packet(received.begin(), received.end());
        if (corruptNow(i, u->accepted, u->everyLeft)) corrupt(packet);
        const auto& header = u->accepted == 0 ? kFirstHeader : kNextHeader;
        if (std::equal(header.begin(), header.end(), packet.begin()) && packetCrcMatches(packet)) {
            u->image.insert(u->image.end(), packet.begin() + kBlockHeaderSize,
                            packet.begin() + kBlockHeaderSize + kBlockDataSize);
            ++u->accepted;
            u->everyLeft = i.faults.program.corruptEvery;
            u->answer(i, kProgramAck);
        } else {
            u->answer(i, kProgramNak);
        }
        awaitBlock(i, u);
    });
}

}  // namespace

std::vector<uint8_t> defaultProgramImage() {
    ProgramStore store;
    size_t k = 0;
    // Every pass records one value for each field of the station's record format, in its order:
    // AIR TEMP, RH, BARO, WIND SPEED, WIND DIR, DATE, TIME.
    put(store, k++, "INPUT VOLTAGE", {"1", "1", "20.0", "-40.0", "5", "1"});
    put(store, k++, "INPUT VOLTAGE", {"3", "1", "100.0", "0.0", "5", "6"});
    put(store, k++, "INPUT VOLTAGE", {"4", "1", "20.0", "950.0", "5", "7"});
    put(store, k++, "INPUT WIND SPEED (FREQ)", {"1", "0", "0", "2"});
    put(store, k++, "INPUT WIND DIR (VOLTAGE)", {"2", "0", "3"});
    put(store, k++, "LOC1 = LOC2 OPER VALUE", {"4", "1", "2", "1.8"});
    put(store, k++, "LOC1 = LOC2 OPER VALUE", {"4", "4", "0", "32"});
    put(store, k++, "AVERAGE", {"2", "5", "0", "60"});
    put(store, k++, "DISPLAY TEXT", {"1", "1", "1", "TEMP ~F", "0"});
    put(store, k++, "DISPLAY VALUE", {"4", "1", "0", "1", "10", "6", "1"});
    for (const char* loc : {"1", "6", "7", "5", "3"})
        put(store, k++, "RECORD VALUE", {loc});
    put(store, k++, "RECORD TIME", {"0"});
    put(store, k++, "RECORD TIME", {"1"});
    put(store, k, "PGM END", {});
    return buildTransferImage(store);
}

void registerProgramCommands(Instrument& in) {
    in.registerCommand(115, [](Instrument& i, const CommandLine&) {
        auto d = std::make_shared<Download>();
        const ProgramFaults& f = i.faults.program;
        d->image = f.shuffleSlots ? reversedSlots(i.state.program) : i.state.program;
        d->image.resize(kTransferImageSize);
        d->blocks = f.blocksToSend.value_or(kProgramBlocks);
        d->everyLeft = f.corruptEvery;
        d->sendCurrent(i);
        awaitAnswer(i, d);
    });
    in.registerCommand(110, [](Instrument& i, const CommandLine&) {
        auto u = std::make_shared<Upload>();
        u->image.reserve(kTransferImageSize);
        u->everyLeft = i.faults.program.corruptEvery;
        i.reply(std::string(1, static_cast<char>(kProgramNak)));
        awaitBlock(i, u);
    });
}

}  // namespace vrn::sim
