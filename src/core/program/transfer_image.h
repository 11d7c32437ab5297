#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/program/program_model.h"

namespace vrn {

// The program as it travels to and from the instrument: the 512 slots with their numbers most
// significant byte first, then the order table of 512 four-byte entries naming, for each position
// of the program, the slot that holds it.
inline constexpr size_t kTransferSlotsSize = ProgramStore::kImageSize;
inline constexpr size_t kOrderEntrySize = 4;
inline constexpr size_t kOrderTableSize = ProgramStore::kSlotCount * kOrderEntrySize;
inline constexpr size_t kTransferImageSize = kTransferSlotsSize + kOrderTableSize;
// What follows "PGM END" in an instruction number or an order table entry.
inline constexpr uint16_t kUnusedSlot = 0xFFFF;

// Builds the image from the store: slot k is the k-th instruction, numbers are converted by the
// kind of each parameter in use, and every slot after "PGM END" is marked unused. Unused slots
// carry the rest of their store bytes unchanged.
std::vector<uint8_t> buildTransferImage(const ProgramStore& store);

// What decoding a received image found wrong; the program is then left as it was.
struct DecodeResult {
    bool failed = false;
    std::vector<std::string> lines;  // message-area lines explaining a failure
    std::string problem;             // the same for the user, in a sentence
};

// Decodes a received image into the program, position by position in the order of its table, with
// the node texts built from the received text fields. The program is replaced only when the
// image decodes whole: every entry up to "PGM END" names a slot below 512 that holds a catalogue
// instruction. Store slots after "PGM END" keep their content.
DecodeResult decodeTransferImage(std::span<const uint8_t> image, ProgramModel& program);

}  // namespace vrn
