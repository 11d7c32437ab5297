#pragma once

#include <optional>

namespace vrn::sim {

// How the instrument can spoil a program transfer (CMD115 sending, CMD110 receiving). Chosen
// blocks are corrupted through Faults::corruptBlocks in either direction.
struct ProgramFaults {
    // Every block goes out (CMD115) or arrives (CMD110) corrupted this many times, then whole.
    int corruptEvery = 0;
    // This many end packets carry their CRC least significant byte first, which the PC refuses.
    int wrongEndCrc = 0;
    // Blocks sent before the end packet, instead of 66; those after the image are zeros.
    std::optional<int> blocksToSend;
    // The program's slots are stored in reverse order and the order table lists them so.
    bool shuffleSlots = false;
    // This many answers to received blocks go out with a stray byte before them.
    int strayAnswers = 0;
    // After this many blocks the instrument sends (CMD115) or answers (CMD110) nothing more.
    std::optional<int> silentAfterBlocks;
    // CMD110 accepts a whole program but stores it without its last instruction before PGM END.
    bool loseLastInstruction = false;
};

}  // namespace vrn::sim
