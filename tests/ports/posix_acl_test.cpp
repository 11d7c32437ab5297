#include "ports/posix_acl.h"

#include <gtest/gtest.h>

namespace vrn {
namespace {

std::vector<uint8_t> aclBytes(uint32_t version, const std::vector<PosixAcl::Entry>& entries) {
    std::vector<uint8_t> b;
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<uint8_t>(version >> (8 * i)));
    for (const PosixAcl::Entry& e : entries) {
        for (int i = 0; i < 2; ++i)
            b.push_back(static_cast<uint8_t>(e.tag >> (8 * i)));
        for (int i = 0; i < 2; ++i)
            b.push_back(static_cast<uint8_t>(e.perm >> (8 * i)));
        for (int i = 0; i < 4; ++i)
            b.push_back(static_cast<uint8_t>(e.id >> (8 * i)));
    }
    return b;
}

TEST(PosixAcl, OnlyWellFormedAttributesAreRead) {
    const std::vector<PosixAcl::Entry> entries = {{PosixAcl::UserObj, 6, 0}, {PosixAcl::User, 6, 70000}};
    std::vector<uint8_t> cut = aclBytes(2, entries);
    cut.pop_back();
    struct Row {
        const char* name;
        std::vector<uint8_t> bytes;
        bool read;
    } rows[] = {
        {"two entries", aclBytes(2, entries), true}, {"empty", {}, false},
        {"header alone", aclBytes(2, {}), true},     {"version 1", aclBytes(1, entries), false},
        {"an entry cut short", cut, false},          {"three bytes", {2, 0, 0}, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const auto acl = parsePosixAcl(row.bytes);
        ASSERT_EQ(acl.has_value(), row.read);
        if (acl && row.bytes.size() > 4) {
            ASSERT_EQ(acl->entries.size(), 2u);
            EXPECT_EQ(acl->entries[1].tag, PosixAcl::User);
            EXPECT_EQ(acl->entries[1].id, 70000u);
        }
    }
}

// The kernel's order: owner, named user (under the mask), groups (under the mask), others.
TEST(PosixAcl, AccessFollowsTheKernelsOrder) {
    const uint32_t owner = 500;
    const uint32_t group = 20;
    const Credentials tech{1000, {1000}};
    const Credentials techInGroup{1000, {1000, 20}};
    const PosixAcl named{{{PosixAcl::UserObj, 6, 0},
                          {PosixAcl::User, 6, 1000},
                          {PosixAcl::GroupObj, 6, 0},
                          {PosixAcl::Mask, 6, 0},
                          {PosixAcl::Other, 0, 0}}};
    const PosixAcl masked{{{PosixAcl::UserObj, 6, 0},
                           {PosixAcl::User, 6, 1000},
                           {PosixAcl::GroupObj, 6, 0},
                           {PosixAcl::Mask, 4, 0},
                           {PosixAcl::Other, 6, 0}}};
    const PosixAcl groupReadOnly{{{PosixAcl::UserObj, 6, 0},
                                  {PosixAcl::GroupObj, 4, 0},
                                  {PosixAcl::Group, 6, 30},
                                  {PosixAcl::Mask, 6, 0},
                                  {PosixAcl::Other, 6, 0}}};
    struct Row {
        const char* name;
        uint32_t mode;
        std::optional<PosixAcl> acl;
        Credentials who;
        bool may;
    } rows[] = {
        {"root", 0000, std::nullopt, {0, {0}}, true},
        {"the owner", 0600, std::nullopt, {owner, {}}, true},
        {"the owner's alone", 0600, std::nullopt, techInGroup, false},
        {"in the group", 0660, std::nullopt, techInGroup, true},
        {"not in the group", 0660, std::nullopt, tech, false},
        {"others may", 0666, std::nullopt, tech, true},
        {"read-only for the group", 0640, std::nullopt, techInGroup, false},
        {"named in the ACL", 0660, named, tech, true},
        {"named, but the mask keeps writing out", 0640, masked, tech, false},
        {"a matching group entry that denies ends the search before others", 0646, groupReadOnly, techInGroup,
         false},
        {"a named group grants", 0660, groupReadOnly, Credentials{1000, {30}}, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(mayReadWrite(owner, group, row.mode, row.acl, row.who), row.may);
    }
}

}  // namespace
}  // namespace vrn
