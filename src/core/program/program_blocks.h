#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "core/link/exchange.h"
#include "core/program/program_packets.h"

namespace vrn::program {

// The line a Get User Program that failed ends with.
inline constexpr const char* kGetFailed = "GET USER PROGRAM FAILED.";

// The download's packets as the one wait reads them: the first block (CMD115, sent again after a
// try that brought no whole block), then each packet in turn, its header first so that the short
// end packet is taken as soon as it is whole. Each packet is judged and answered with ACK or NAK
// as it comes; the wait is over at the end packet or once the counts of errors say so.
class BlockReceiver final : public WaitReader {
public:
    BlockReceiver(Exchange& ex, int firstBlockTries, int maxErrors, int maxEndErrors, int maxBlocks);

    std::span<uint8_t> room() override;
    WaitStep took(std::span<const uint8_t> bytes) override;

    // No try brought a whole first block.
    bool noFirstBlock() const { return firstTries_ >= firstBlockTries_; }
    // A failure of the download's own bounds, said where it happened.
    const std::optional<Outcome>& failedHere() const { return failedHere_; }
    bool tooManyErrors() const { return errors_ >= maxErrors_; }
    int blocks() const { return blocks_; }
    // The data of the blocks received, in their order.
    std::span<const uint8_t> data() const { return data_; }

private:
    enum class Part : uint8_t { FirstBlock, Header, EndPacket, Block };

    WaitStep tookFirstBlock();
    // Whether the packet read so far is whole, as far as its header tells.
    bool packetWhole();
    // The packet's verdict and answer; Over when the download ends with it.
    WaitStep judge(std::span<const uint8_t> packet);
    WaitStep judgeBlock(std::span<const uint8_t> packet);
    WaitStep judgeEnd(std::span<const uint8_t> packet);
    void answer(uint8_t byte);

    Exchange& ex_;
    const int firstBlockTries_;
    const int maxErrors_;
    const int maxEndErrors_;
    const int maxBlocks_;
    std::vector<uint8_t> packet_ = std::vector<uint8_t>(kBlockPacketSize);
    size_t got_ = 0;
    Part part_ = Part::FirstBlock;
    int firstTries_ = 0;
    std::vector<uint8_t> data_;
    int errors_ = 0;
    int endErrors_ = 0;
    int blocks_ = 0;
    std::optional<Outcome> failedHere_;
};

// The upload's replies as the one wait reads them, a byte at a time: an ACK sends the next block
// (after the last, the end packet), a NAK the same block again; a NAK, a stray byte or a second
// without a reply counts an error. Over once the end packet is out or the errors reach their most.
class BlockSender final : public WaitReader {
public:
    BlockSender(Exchange& ex, const std::vector<uint8_t>& image, int maxErrors, int64_t replyTimeoutMs);

    std::span<uint8_t> room() override { return {&reply_, 1}; }
    WaitStep took(std::span<const uint8_t> bytes) override;

    // The errors reached their most before the end packet went out.
    bool failed() const { return errors_ >= maxErrors_; }

private:
    std::span<const uint8_t> blockData(int block) const;
    // A byte that is no reply, or none: a second without a reply counts an error.
    WaitStep noReply(bool strayByte);

    Exchange& ex_;
    const std::vector<uint8_t>& image_;
    const int maxErrors_;
    const int64_t replyTimeoutMs_;
    uint8_t reply_ = 0;
    int block_ = 0;
    std::vector<uint8_t> packet_;
    int errors_ = 0;
    int64_t notedMs_;
};

}  // namespace vrn::program
