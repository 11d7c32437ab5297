#include "core/program/program_blocks.h"

#include <algorithm>

#include "core/link/clock.h"
#include "core/link/host.h"
#include "core/link/usb_port.h"

namespace vrn::program {
namespace {

bool startsWith(std::span<const uint8_t> packet, std::span<const uint8_t> header) {
    return packet.size() >= header.size() && std::equal(header.begin(), header.end(), packet.begin());
}

}  // namespace

BlockReceiver::BlockReceiver(Exchange& ex, int firstBlockTries, int maxErrors, int maxEndErrors,
                             int maxBlocks)
    : ex_(ex),
      firstBlockTries_(firstBlockTries),
      maxErrors_(maxErrors),
      maxEndErrors_(maxEndErrors),
      maxBlocks_(maxBlocks) {
    data_.reserve(static_cast<size_t>(maxBlocks) * kBlockDataSize);
}

std::span<uint8_t> BlockReceiver::room() {
    switch (part_) {
    case Part::FirstBlock:
        return packet_;
    case Part::Header:
        return std::span(packet_).first(kBlockHeaderSize);
    case Part::EndPacket:
        return std::span(packet_).subspan(got_, kEndPacketSize - got_);
    case Part::Block:
        break;
    }
    return std::span(packet_).subspan(got_);
}

WaitStep BlockReceiver::took(std::span<const uint8_t> bytes) {
    if (part_ == Part::FirstBlock) {
        got_ = bytes.size();
        return tookFirstBlock();
    }
    got_ += bytes.size();
    if (!packetWhole()) return WaitStep::GoesOn;
    const std::span<const uint8_t> packet = std::span(packet_).first(got_);
    got_ = 0;
    part_ = Part::Header;
    const WaitStep step = judge(packet);
    if (step == WaitStep::Over) return step;
    ex_.host().setProgress(blocks_);
    return WaitStep::Progress;
}

WaitStep BlockReceiver::tookFirstBlock() {
    if (got_ == kBlockPacketSize) {
        part_ = Part::Header;
        got_ = 0;
        const WaitStep step = judge(packet_);
        if (step == WaitStep::Over) return step;
        ex_.host().setProgress(blocks_);
        return WaitStep::Progress;
    }
    ex_.port().purge();
    if (++firstTries_ >= firstBlockTries_) return WaitStep::Over;
    ex_.SendCommand("CMD115\r");
    return WaitStep::GoesOn;
}

bool BlockReceiver::packetWhole() {
    const auto packet = std::span<const uint8_t>(packet_).first(got_);
    switch (part_) {
    case Part::Header:
        // A short header is a packet of its own, judged as the bytes that came.
        if (got_ < kBlockHeaderSize) return true;
        part_ = startsWith(packet, kEndHeader) ? Part::EndPacket : Part::Block;
        return false;
    case Part::EndPacket:
        // A packet that starts like the end packet but fails its check may be a block with a
        // damaged header: the rest of a block is then read too, so it is judged as a block would be.
        if (got_ < kEndPacketSize || packetCrcMatches(packet)) return true;
        part_ = Part::Block;
        return false;
    case Part::FirstBlock:
    case Part::Block:
        break;
    }
    return true;
}

WaitStep BlockReceiver::judge(std::span<const uint8_t> packet) {
    Host& h = ex_.host();
    if (packet.empty()) {
        answer(kProgramNak);
        ++errors_;
    } else if (packet.size() == kBlockPacketSize) {
        if (judgeBlock(packet) == WaitStep::Over) return WaitStep::Over;
    } else if (startsWith(packet, kEndHeader)) {
        if (judgeEnd(packet) == WaitStep::Over) return WaitStep::Over;
    } else {
        h.beep(BeepKind::Default);
        if (++errors_ >= maxErrors_) {
            h.appendLine("TOO MANY ERRORS.");
            h.appendLine(kGetFailed);
            return WaitStep::Over;
        }
        answer(kProgramNak);
    }
    return errors_ >= maxErrors_ ? WaitStep::Over : WaitStep::Progress;
}

WaitStep BlockReceiver::judgeBlock(std::span<const uint8_t> packet) {
    Host& h = ex_.host();
    if (startsWith(packet, kFirstHeader)) h.appendLine("FIRST HEADER...");
    if (!packetCrcMatches(packet)) {
        h.appendLine("CRC COMPARE ERR.");
        answer(kProgramNak);
        h.beep(BeepKind::Default);
        if (++errors_ < maxErrors_) return WaitStep::Progress;
        h.appendLine("TOO MANY CRC ERRORS.");
        h.appendLine(kGetFailed);
        return WaitStep::Over;
    }
    if (blocks_ == maxBlocks_) {
        constexpr const char* kTooMany = "MORE THAN 70 BLOCKS RECEIVED.";
        h.appendLine(kTooMany);
        h.appendLine(kGetFailed);
        failedHere_ = Outcome::failed(kTooMany);
        return WaitStep::Over;
    }
    const auto data = packet.subspan(kBlockHeaderSize, kBlockDataSize);
    data_.insert(data_.end(), data.begin(), data.end());
    ++blocks_;
    errors_ = 0;
    answer(kProgramAck);
    return WaitStep::Progress;
}

WaitStep BlockReceiver::judgeEnd(std::span<const uint8_t> packet) {
    Host& h = ex_.host();
    if (packet.size() >= kEndPacketSize && packetCrcMatches(packet.first(kEndPacketSize))) {
        answer(kProgramAck);
        h.appendLine("LAST HEADER...");
        return WaitStep::Over;
    }
    h.appendLine("CRC COMPARE END ERR.");
    answer(kProgramNak);
    if (++endErrors_ < maxEndErrors_) return WaitStep::Progress;
    constexpr const char* kEndErrors = "TOO MANY END ERRORS.";
    h.appendLine(kEndErrors);
    h.appendLine(kGetFailed);
    failedHere_ = ex_.failure(kEndErrors);
    return WaitStep::Over;
}

void BlockReceiver::answer(uint8_t byte) {
    ex_.port().write({&byte, 1});
}

BlockSender::BlockSender(Exchange& ex, const std::vector<uint8_t>& image, int maxErrors,
                         int64_t replyTimeoutMs)
    : ex_(ex),
      image_(image),
      maxErrors_(maxErrors),
      replyTimeoutMs_(replyTimeoutMs),
      packet_(blockPacket(0, blockData(0))),
      notedMs_(ex.host().clock().nowMs()) {}

std::span<const uint8_t> BlockSender::blockData(int block) const {
    return std::span(image_).subspan(static_cast<size_t>(block) * kBlockDataSize, kBlockDataSize);
}

WaitStep BlockSender::took(std::span<const uint8_t> bytes) {
    if (bytes.empty() || (reply_ != kProgramAck && reply_ != kProgramNak)) return noReply(!bytes.empty());
    Host& h = ex_.host();
    if (reply_ == kProgramAck) {
        errors_ = 0;
        notedMs_ = h.clock().nowMs();
        if (++block_ == kProgramBlocks) {
            const auto end = utilityEndPacket();
            ex_.port().write(end);
            return WaitStep::Over;
        }
        h.setProgress(block_);
        packet_ = blockPacket(block_, blockData(block_));
        ex_.port().write(packet_);
        return WaitStep::Progress;
    }
    h.beep(BeepKind::Default);
    if (++errors_ >= maxErrors_) return WaitStep::Over;
    ex_.port().write(packet_);
    return WaitStep::GoesOn;
}

WaitStep BlockSender::noReply(bool strayByte) {
    Host& h = ex_.host();
    if (strayByte) {
        h.beep(BeepKind::Default);
        ++errors_;
    }
    // Stray bytes do not stop the clock: a stream of them still runs into the time-out.
    if (h.clock().nowMs() - notedMs_ < replyTimeoutMs_) return WaitStep::GoesOn;
    h.beep(BeepKind::Default);
    notedMs_ = h.clock().nowMs();
    return ++errors_ >= maxErrors_ ? WaitStep::Over : WaitStep::GoesOn;
}

}  // namespace vrn::program
