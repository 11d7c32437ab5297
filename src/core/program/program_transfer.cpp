#include "core/program/program_transfer.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/link/clock.h"
#include "core/link/exchange.h"
#include "core/link/host.h"
#include "core/link/timer1_off.h"
#include "core/link/usb_port.h"
#include "core/program/program_packets.h"
#include "core/program/transfer_image.h"

namespace vrn::program {
namespace {

constexpr const char* kGetFailed = "GET USER PROGRAM FAILED.";
constexpr const char* kSendFailed = "SEND USER PROGRAM FAILED.";
constexpr const char* kNoPgmEndText = "Cannot Send User Program.\nThe program has no PGM END.";

bool startsWith(std::span<const uint8_t> packet, std::span<const uint8_t> header) {
    return packet.size() >= header.size() && std::equal(header.begin(), header.end(), packet.begin());
}

// One packet from the instrument, its header first: the 6-byte end packet is then taken as soon as
// it is whole, not after the read's time limit that a 1,030-byte read would wait out. A packet that
// starts like the end packet but fails its check may be a block with a damaged header: the rest of
// a block is then read too, so it is judged as a block would be.
ReadResult readPacket(UsbPort& port, std::span<uint8_t> packet) {
    ReadResult got = port.read(packet.first(kBlockHeaderSize));
    const auto readUpTo = [&](size_t size) {
        const ReadResult more = port.read(packet.subspan(got.count, size - got.count));
        got = {got.count + more.count, more.status};
    };
    if (got.count < kBlockHeaderSize) return got;
    if (startsWith(packet, kEndHeader)) {
        readUpTo(kEndPacketSize);
        if (got.count < kEndPacketSize || packetCrcMatches(packet.first(kEndPacketSize))) return got;
    }
    readUpTo(kBlockPacketSize);
    return got;
}

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
    UsbPort& port = ex_.port();
    programAtFault_ = false;
    h.appendLine("GET USER PROGRAM...");
    h.setProgressMax(kProgramBlocks + 1);
    const Timer1Off timerOff(h);
    h.pump();

    std::vector<uint8_t> packet(kBlockPacketSize);
    ReadResult got;
    bool firstBlock = false;
    for (int attempt = 0; attempt < kFirstBlockTries && !firstBlock && !h.closing(); ++attempt) {
        ex_.SendCommand("CMD115\r");
        got = port.read(packet);
        firstBlock = got.count == kBlockPacketSize;
        if (!firstBlock) port.purge();
    }
    if (!firstBlock) {
        h.appendLine(kGetFailed);
        return h.closing() ? Outcome::aborted(kGetFailed) : ex_.failure(kGetFailed);
    }

    std::vector<uint8_t> buffer;
    buffer.reserve(kMaxBlocks * kBlockDataSize);
    int errors = 0;
    int blocks = 0;
    int endErrors = 0;
    const auto answer = [&port](uint8_t byte) { port.write({&byte, 1}); };
    // A failure of this download's own bounds, reported where it happened.
    std::optional<Outcome> failedHere;
    for (;;) {
        const auto bytes = std::span(packet).first(got.count);
        if (bytes.empty()) {
            answer(kProgramNak);
            ++errors;
        } else if (bytes.size() == kBlockPacketSize) {
            if (startsWith(bytes, kFirstHeader)) h.appendLine("FIRST HEADER...");
            if (packetCrcMatches(bytes)) {
                if (blocks == kMaxBlocks) {
                    constexpr const char* kTooMany = "MORE THAN 70 BLOCKS RECEIVED.";
                    h.appendLine(kTooMany);
                    h.appendLine(kGetFailed);
                    failedHere = Outcome::failed(kTooMany);
                    break;
                }
                const auto data = bytes.subspan(kBlockHeaderSize, kBlockDataSize);
                buffer.insert(buffer.end(), data.begin(), data.end());
                ++blocks;
                errors = 0;
                answer(kProgramAck);
            } else {
                h.appendLine("CRC COMPARE ERR.");
                answer(kProgramNak);
                h.beep(BeepKind::Default);
                if (++errors >= kMaxErrors) {
                    h.appendLine("TOO MANY CRC ERRORS.");
                    h.appendLine(kGetFailed);
                    break;
                }
            }
        } else if (startsWith(bytes, kEndHeader)) {
            if (bytes.size() >= kEndPacketSize && packetCrcMatches(bytes.first(kEndPacketSize))) {
                answer(kProgramAck);
                h.appendLine("LAST HEADER...");
                break;
            }
            h.appendLine("CRC COMPARE END ERR.");
            answer(kProgramNak);
            if (++endErrors >= kMaxEndErrors) {
                constexpr const char* kEndErrors = "TOO MANY END ERRORS.";
                h.appendLine(kEndErrors);
                h.appendLine(kGetFailed);
                failedHere = ex_.failure(kEndErrors);
                break;
            }
        } else {
            h.beep(BeepKind::Default);
            if (++errors >= kMaxErrors) {
                h.appendLine("TOO MANY ERRORS.");
                h.appendLine(kGetFailed);
                break;
            }
            answer(kProgramNak);
        }
        if (errors >= kMaxErrors) break;
        h.setProgress(blocks);
        h.pump();
        if (h.closing()) {
            h.appendLine(kGetFailed);
            failedHere = Outcome::aborted(kGetFailed);
            break;
        }
        got = readPacket(port, packet);
    }
    h.setProgress(0);

    if (failedHere) return std::move(*failedHere);
    if (errors >= kMaxErrors) {
        constexpr const char* kTooManyErrors = "TOO MANY ERRORS.";
        h.appendLine(kTooManyErrors);
        h.appendLine(kGetFailed);
        warn(h, "Too many errors.\nGet 41700 User Program failed.");
        return ex_.failure(kTooManyErrors);
    }
    // The image is whole only after all 66 blocks; decoding fewer would read what never came.
    if (blocks < kProgramBlocks) {
        const std::string line = blockCountLine(blocks);
        h.appendLine(line);
        h.appendLine(kGetFailed);
        return ex_.failure(line);
    }
    const DecodeResult decoded = decodeTransferImage(std::span(buffer).first(kTransferImageSize), program_);
    for (const std::string& line : decoded.lines)
        h.appendLine(line);
    if (decoded.failed) {
        h.appendLine(kGetFailed);
        programAtFault_ = true;
        warn(h,
             "The received program cannot be used.\n" + decoded.problem + "\nGet 41700 User Program failed.");
        return Outcome::failed(decoded.problem);
    }
    h.appendLine("FINISHED GETTING USER PROGRAM.");
    return Outcome::done();
}

Outcome ProgramTransfer::SendUserProgram() {
    Host& h = host();
    UsbPort& port = ex_.port();
    Clock& clock = h.clock();
    // Without its end the instrument would run on into whatever the slots after it hold.
    programAtFault_ = !program_.store.hasPgmEnd();
    if (programAtFault_) {
        warn(h, kNoPgmEndText);
        return Outcome::refused(kNoPgmEndText);
    }
    const std::vector<uint8_t> image = buildTransferImage(program_.store);
    const auto blockData = [&image](int block) {
        return std::span(image).subspan(static_cast<size_t>(block) * kBlockDataSize, kBlockDataSize);
    };

    h.setProgressMax(kProgramBlocks);
    ex_.SendCommand("CMD110\r");
    h.appendLine("SEND USER PROGRAM...");

    int block = 0;
    std::vector<uint8_t> packet = blockPacket(block, blockData(block));
    int errors = 0;
    int64_t notedMs = clock.nowMs();
    Outcome outcome = Outcome::done();
    for (;;) {
        h.pump();
        if (h.closing()) {
            outcome = Outcome::aborted(kSendFailed);
            break;
        }
        uint8_t reply = 0;
        const bool nothing = port.read({&reply, 1}).count == 0;
        if (!port.isOpen()) {
            outcome = Outcome::portGone(kSendFailed);
            break;
        }
        if (nothing || (reply != kProgramAck && reply != kProgramNak)) {
            if (!nothing) {
                h.beep(BeepKind::Default);
                ++errors;
            }
            // Stray bytes do not stop the clock: a stream of them still runs into the time-out.
            if (clock.nowMs() - notedMs < kReplyTimeoutMs) continue;
            h.beep(BeepKind::Default);
            notedMs = clock.nowMs();
            if (++errors >= kMaxErrors) {
                outcome = Outcome::failed(kSendFailed);
                break;
            }
        } else if (reply == kProgramAck) {
            errors = 0;
            notedMs = clock.nowMs();
            if (++block == kProgramBlocks) {
                const auto end = utilityEndPacket();
                port.write(end);
                break;
            }
            h.setProgress(block);
            packet = blockPacket(block, blockData(block));
            port.write(packet);
        } else if (reply == kProgramNak) {
            h.beep(BeepKind::Default);
            if (++errors >= kMaxErrors) {
                outcome = Outcome::failed(kSendFailed);
                break;
            }
            port.write(packet);
        }
    }
    h.setProgress(0);
    h.appendLine(outcome.ok() ? "FINISHED SENDING USER PROGRAM." : kSendFailed);
    return outcome;
}

}  // namespace vrn::program
