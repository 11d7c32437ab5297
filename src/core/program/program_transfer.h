#pragma once

#include <cstdint>
#include <span>

#include "core/link/exchange.h"
#include "core/link/outcome.h"
#include "core/program/program_model.h"

namespace vrn {
class Exchange;
class Host;
}  // namespace vrn

namespace vrn::program {

class BlockReceiver;

// Moves the user program between the model and the instrument as the 66-block transfer image.
// Both operations write the message-area lines and progress of the window; a failed download
// leaves the program as it was. Both go through the exchange's one wait: they end (Aborted) at the
// abort or once the window is closing, PortGone when the port goes, and Failed at their bound.
class ProgramTransfer {
public:
    // Commands the download sends before giving up on a first block.
    static constexpr int kFirstBlockTries = 10;
    // Consecutive errors that end either direction.
    static constexpr int kMaxErrors = 10;
    // The download's buffer holds this many blocks; one more fails it.
    static constexpr int kMaxBlocks = 70;
    // End packets failing their check that the download answers with NAK before it gives up.
    static constexpr int kMaxEndErrors = 10;
    // The upload waits this long for the answer to a block before counting an error.
    static constexpr int64_t kReplyTimeoutMs = 1000;
    // However the blocks trickle, either direction ends within this bound: its 66 blocks at the
    // slowest pace its error counts let through stay below it.
    static constexpr int64_t kTransferLimitMs = 900000;

    ProgramTransfer(Exchange& exchange, ProgramModel& program) : ex_(exchange), program_(program) {}

    // ProgramAtFault, after its box, when the program that came cannot be decoded.
    Outcome GetUserProgram();
    // A program without "PGM END" is Refused, after its box.
    Outcome SendUserProgram();

    Exchange& exchange() { return ex_; }
    ProgramModel& program() { return program_; }

private:
    static constexpr WaitRule kTransferWait{.limitMs = kTransferLimitMs, .pumpFirst = true, .beeps = false};

    Host& host();
    // The download's steps in their order: the blocks, their count, the program they carry.
    Outcome receiveBlocks(BlockReceiver& receiver);
    Outcome checkBlocks(const BlockReceiver& receiver);
    Outcome decodeBlocks(std::span<const uint8_t> data);

    Exchange& ex_;
    ProgramModel& program_;
};

}  // namespace vrn::program
