#include "core/program/program_transfer.h"

#include <cstdio>
#include <string>
#include <vector>

#include "core/link/clock.h"
#include "core/link/exchange.h"
#include "core/link/host.h"
#include "core/link/timer1_off.h"
#include "core/link/usb_port.h"
#include "core/program/program_blocks.h"
#include "core/program/program_packets.h"
#include "core/program/transfer_image.h"

namespace vrn::program {
namespace {

constexpr const char* kSendFailed = "SEND USER PROGRAM FAILED.";
constexpr const char* kNoPgmEndText = "Cannot Send User Program.\nThe program has no PGM END.";

std::string blockCountLine(int blocks) {
    char text[64];
    std::snprintf(text, sizeof text, "ONLY %d OF %d BLOCKS RECEIVED.", blocks, kProgramBlocks);
    return text;
}

}  // namespace

Host& ProgramTransfer::host() {
    return ex_.host();
}

Outcome ProgramTransfer::GetUserProgram() {
    Host& h = host();
    h.appendLine("GET USER PROGRAM...");
    h.setProgressMax(kProgramBlocks + 1);
    const Timer1Off timerOff(h);
    h.pump();
    BlockReceiver receiver(ex_, kFirstBlockTries, kMaxErrors, kMaxEndErrors, kMaxBlocks);
    Outcome received = receiveBlocks(receiver);
    if (!received.ok()) return received;
    if (Outcome whole = checkBlocks(receiver); !whole.ok()) return whole;
    return decodeBlocks(receiver.data());
}

Outcome ProgramTransfer::receiveBlocks(BlockReceiver& receiver) {
    Host& h = host();
    ex_.SendCommand("CMD115\r");
    const Outcome waited = ex_.wait(kTransferWait, receiver);
    if (receiver.noFirstBlock()) {
        h.appendLine(kGetFailed);
        return ex_.failure(kGetFailed);
    }
    if (!waited.ok()) h.appendLine(kGetFailed);
    h.setProgress(0);
    if (!waited.ok()) return waited.because(kGetFailed);
    if (receiver.failedHere()) return *receiver.failedHere();
    return Outcome::done();
}

Outcome ProgramTransfer::checkBlocks(const BlockReceiver& receiver) {
    Host& h = host();
    if (receiver.tooManyErrors()) {
        constexpr const char* kTooManyErrors = "TOO MANY ERRORS.";
        h.appendLine(kTooManyErrors);
        h.appendLine(kGetFailed);
        warn(h, "Too many errors.\nGet 41700 User Program failed.");
        return ex_.failure(kTooManyErrors);
    }
    // The image is whole only after all 66 blocks; decoding fewer would read what never came.
    if (receiver.blocks() < kProgramBlocks) {
        const std::string line = blockCountLine(receiver.blocks());
        h.appendLine(line);
        h.appendLine(kGetFailed);
        return ex_.failure(line);
    }
    return Outcome::done();
}

Outcome ProgramTransfer::decodeBlocks(std::span<const uint8_t> data) {
    Host& h = host();
    const DecodeResult decoded = decodeTransferImage(data.first(kTransferImageSize), program_);
    for (const std::string& line : decoded.lines)
        h.appendLine(line);
    if (decoded.failed) {
        h.appendLine(kGetFailed);
        warn(h,
             "The received program cannot be used.\n" + decoded.problem + "\nGet 41700 User Program failed.");
        return Outcome::programAtFault(decoded.problem);
    }
    h.appendLine("FINISHED GETTING USER PROGRAM.");
    return Outcome::done();
}

Outcome ProgramTransfer::SendUserProgram() {
    Host& h = host();
    // Without its end the instrument would run on into whatever the slots after it hold.
    if (!program_.store.hasPgmEnd()) {
        warn(h, kNoPgmEndText);
        return Outcome::refused(kNoPgmEndText);
    }
    const std::vector<uint8_t> image = buildTransferImage(program_.store);
    h.setProgressMax(kProgramBlocks);
    ex_.SendCommand("CMD110\r");
    h.appendLine("SEND USER PROGRAM...");
    BlockSender sender(ex_, image, kMaxErrors, kReplyTimeoutMs);
    Outcome outcome = ex_.wait(kTransferWait, sender).because(kSendFailed);
    if (outcome.ok() && sender.failed()) outcome = Outcome::failed(kSendFailed);
    h.setProgress(0);
    h.appendLine(outcome.ok() ? "FINISHED SENDING USER PROGRAM." : kSendFailed);
    return outcome;
}

}  // namespace vrn::program
