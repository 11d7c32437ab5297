#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vrn {

// Who asks for a file: a user id and every group it is in now (its primary group among them).
struct Credentials {
    uint32_t uid = 0;
    std::vector<uint32_t> gids;
};

// A POSIX access ACL as the kernel keeps it in the "system.posix_acl_access" attribute.
struct PosixAcl {
    enum Tag : uint16_t {
        UserObj = 0x01,
        User = 0x02,
        GroupObj = 0x04,
        Group = 0x08,
        Mask = 0x10,
        Other = 0x20,
    };
    struct Entry {
        uint16_t tag = 0;
        uint16_t perm = 0;  // 4 read, 2 write, 1 execute
        uint32_t id = 0;    // the user or group of User and Group entries
    };
    std::vector<Entry> entries;
};

// Decodes the attribute's bytes (little-endian: a version word of 2, then 8-byte entries);
// nothing when they are not a well-formed ACL.
std::optional<PosixAcl> parsePosixAcl(std::span<const uint8_t> bytes);

// Whether the credentials may open a file of this owner, group and mode for reading and writing,
// by the kernel's rules: the owner's bits, else the ACL's named users, else the groups (owning
// group and named groups, under the ACL's mask), else the others' bits. Root may always.
bool mayReadWrite(uint32_t ownerUid, uint32_t ownerGid, uint32_t mode, const std::optional<PosixAcl>& acl,
                  const Credentials& who);

}  // namespace vrn
