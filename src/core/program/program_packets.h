#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace vrn {

// The block protocol of the program transfer: 66 packets of 1,024 image bytes, each with a
// two-byte header and a CRC-32 most significant byte first, answered by ACK or NAK; then a short
// end packet.
inline constexpr size_t kBlockDataSize = 1024;
inline constexpr size_t kBlockHeaderSize = 2;
inline constexpr size_t kBlockCrcSize = 4;
inline constexpr size_t kBlockPacketSize = kBlockHeaderSize + kBlockDataSize + kBlockCrcSize;
inline constexpr size_t kEndPacketSize = 6;
inline constexpr int kProgramBlocks = 66;

inline constexpr uint8_t kProgramAck = 0x06;
inline constexpr uint8_t kProgramNak = 0x15;

inline constexpr std::array<uint8_t, 2> kFirstHeader = {0xAB, 0xCD};
inline constexpr std::array<uint8_t, 2> kNextHeader = {0xEF, 0xAB};
inline constexpr std::array<uint8_t, 2> kEndHeader = {0xCD, 0xEF};

// Block packet `index` (0 gets the first header) around its 1,024 data bytes.
std::vector<uint8_t> blockPacket(int index, std::span<const uint8_t> data);

// Whether the packet's CRC (its last four bytes, most significant first) matches its other bytes.
bool packetCrcMatches(std::span<const uint8_t> packet);

// The end packet as the instrument sends it (CRC most significant byte first), and as the utility
// sends it (least significant byte first).
std::array<uint8_t, kEndPacketSize> instrumentEndPacket();
std::array<uint8_t, kEndPacketSize> utilityEndPacket();

}  // namespace vrn
