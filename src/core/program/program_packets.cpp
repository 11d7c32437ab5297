#include "core/program/program_packets.h"

#include <algorithm>

#include "core/link/crc32.h"

namespace vrn {
namespace {

std::array<uint8_t, kEndPacketSize> endPacket(bool mostSignificantFirst) {
    const uint32_t crc = crc32Mpeg2(kEndHeader);
    std::array<uint8_t, kEndPacketSize> packet{kEndHeader[0], kEndHeader[1]};
    for (size_t i = 0; i < 4; ++i) {
        const size_t shift = mostSignificantFirst ? 24 - 8 * i : 8 * i;
        packet[2 + i] = static_cast<uint8_t>(crc >> shift);
    }
    return packet;
}

}  // namespace

std::vector<uint8_t> blockPacket(int index, std::span<const uint8_t> data) {
    std::vector<uint8_t> packet(kBlockPacketSize);
    const auto& header = index == 0 ? kFirstHeader : kNextHeader;
    std::copy(header.begin(), header.end(), packet.begin());
    std::copy_n(data.begin(), std::min(data.size(), kBlockDataSize), packet.begin() + kBlockHeaderSize);
    const uint32_t crc = crc32Mpeg2(std::span(packet).first(kBlockHeaderSize + kBlockDataSize));
    for (size_t i = 0; i < 4; ++i)
        packet[kBlockHeaderSize + kBlockDataSize + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    return packet;
}

bool packetCrcMatches(std::span<const uint8_t> packet) {
    if (packet.size() < kBlockCrcSize) return false;
    const size_t body = packet.size() - kBlockCrcSize;
    uint32_t sent = 0;
    for (size_t i = 0; i < 4; ++i)
        sent = (sent << 8) | packet[body + i];
    return crc32Mpeg2(packet.first(body)) == sent;
}

std::array<uint8_t, kEndPacketSize> instrumentEndPacket() {
    return endPacket(true);
}

std::array<uint8_t, kEndPacketSize> utilityEndPacket() {
    return endPacket(false);
}

}  // namespace vrn
