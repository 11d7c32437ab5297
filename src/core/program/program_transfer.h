#pragma once

#include <cstdint>

#include "core/link/outcome.h"
#include "core/program/program_model.h"

namespace vrn {
class Exchange;
class Host;
}  // namespace vrn

namespace vrn::program {

// Moves the user program between the model and the instrument as the 66-block transfer image.
// Both operations write the message-area lines and progress of the window; a failed download
// leaves the program as it was. Both end (Aborted) at their next read once the window is closing.
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

    ProgramTransfer(Exchange& exchange, ProgramModel& program) : ex_(exchange), program_(program) {}

    Outcome GetUserProgram();
    // A program without "PGM END" is Refused, after its box.
    Outcome SendUserProgram();

    Exchange& exchange() { return ex_; }
    ProgramModel& program() { return program_; }

    // The last operation failed because of the program itself, not the link: a program without
    // "PGM END" refused before sending, or a received one that cannot be decoded. Its own box
    // has said what was wrong, so the communication-error box is not shown.
    bool programAtFault() const { return programAtFault_; }

private:
    Host& host();

    Exchange& ex_;
    ProgramModel& program_;
    bool programAtFault_ = false;
};

}  // namespace vrn::program
