#include "ports/posix_acl.h"

#include <algorithm>

namespace vrn {
namespace {

constexpr uint32_t kAclVersion = 2;
constexpr size_t kHeaderSize = 4;
constexpr size_t kEntrySize = 8;
constexpr uint16_t kReadWrite = 6;

uint16_t le16(std::span<const uint8_t> b, size_t at) {
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

uint32_t le32(std::span<const uint8_t> b, size_t at) {
    return uint32_t{b[at]} | (uint32_t{b[at + 1]} << 8) | (uint32_t{b[at + 2]} << 16) |
           (uint32_t{b[at + 3]} << 24);
}

bool grants(uint32_t perm) {
    return (perm & kReadWrite) == kReadWrite;
}

bool inGroup(const Credentials& who, uint32_t gid) {
    return std::find(who.gids.begin(), who.gids.end(), gid) != who.gids.end();
}

}  // namespace

std::optional<PosixAcl> parsePosixAcl(std::span<const uint8_t> bytes) {
    if (bytes.size() < kHeaderSize || (bytes.size() - kHeaderSize) % kEntrySize != 0) return std::nullopt;
    if (le32(bytes, 0) != kAclVersion) return std::nullopt;
    PosixAcl acl;
    for (size_t at = kHeaderSize; at + kEntrySize <= bytes.size(); at += kEntrySize)
        acl.entries.push_back({le16(bytes, at), le16(bytes, at + 2), le32(bytes, at + 4)});
    return acl;
}

bool mayReadWrite(uint32_t ownerUid, uint32_t ownerGid, uint32_t mode, const std::optional<PosixAcl>& acl,
                  const Credentials& who) {
    if (who.uid == 0) return true;
    if (who.uid == ownerUid) return grants(mode >> 6);
    if (!acl) {
        if (inGroup(who, ownerGid)) return grants(mode >> 3);
        return grants(mode);
    }
    // With an ACL the group bits of the mode are its mask.
    uint32_t mask = 07;
    for (const PosixAcl::Entry& e : acl->entries)
        if (e.tag == PosixAcl::Mask) mask = e.perm;
    for (const PosixAcl::Entry& e : acl->entries)
        if (e.tag == PosixAcl::User && e.id == who.uid) return grants(e.perm & mask);
    bool groupMatched = false;
    for (const PosixAcl::Entry& e : acl->entries) {
        const bool matches = (e.tag == PosixAcl::GroupObj && inGroup(who, ownerGid)) ||
                             (e.tag == PosixAcl::Group && inGroup(who, e.id));
        if (!matches) continue;
        if (grants(e.perm & mask)) return true;
        groupMatched = true;
    }
    if (groupMatched) return false;
    for (const PosixAcl::Entry& e : acl->entries)
        if (e.tag == PosixAcl::Other) return grants(e.perm);
    return false;
}

}  // namespace vrn
