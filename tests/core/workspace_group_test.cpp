#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/program/program_file.h"
#include "core/screens/pixel_sink.h"
#include "core/screens/screen_drawing.h"
#include "core/screens/screen_editor.h"
#include "core/screens/screen_store.h"
#include "core/setup/setup_file.h"
#include "core/setup/setup_model.h"
#include "core/workspace/group_actions.h"
#include "core/workspace/group_file.h"
#include "memory_file_store.h"
#include "recording_host.h"

namespace vrn::workspace {
namespace {

using Bytes = std::vector<uint8_t>;

// Files of chosen names cannot be replaced, as read-only files of those names.
struct Files : test::MemoryFileStore {
    std::set<std::string> readOnly;
    bool writeFile(const std::string& path, std::span<const uint8_t> bytes, std::string& error) override {
        if (readOnly.contains(path)) {
            error = "Access is denied.";
            return false;
        }
        return MemoryFileStore::writeFile(path, bytes, error);
    }
};

// A picture "encoded" as its pixels' low bytes, so a test can compare it with the drawing.
Bytes rawPicture(const screens::PixelBuffer& p) {
    Bytes out;
    for (screens::Rgb px : p.pixels())
        out.push_back(static_cast<uint8_t>(px));
    return out;
}

struct Rig {
    test::RecordingHost host;
    Files files;
    setup::SetupModel setup;
    screens::ScreenStore store;
    screens::PixelBuffer image{screens::kPictureWidth, screens::kScreenImageHeight};
    screens::ScreenDisplay display{store, image};
    screens::ScreenEditor editor{display, host};
    ProgramModel program;
    Workspace ws{setup, editor, program, {}};

    Rig() { editor.clearAll(); }
    // Models unlike the defaults in every part.
    void fill() {
        setup.setInterval(37);
        setup.setLabel(0, "Air temperature");
        for (int c = 0; c < screens::kColumns; ++c)
            store.setCell(2, 1, c, static_cast<uint8_t>('A' + c % 26));
        program.tree.append({}, "SOMETHING");
    }
    Bytes storeBytes() const { return {store.bytes().begin(), store.bytes().end()}; }
    std::vector<std::string> boxTexts() const {
        std::vector<std::string> out;
        for (const auto& b : host.boxes)
            out.push_back(b.text);
        return out;
    }
};

TEST(GroupFile, MemberNamesComeFromTheBaseName) {
    struct Row {
        const char* name;
        const char* path;
        const char* base;
        const char* setup;
        const char* picture1;
        const char* picture8;
    } rows[] = {
        {"plain", "/d/mast.ssp", "mast", "/d/mast.set", "/d/mast Screen 1.bmp", "/d/mast Screen 8.bmp"},
        {"dots in the name", "/d/site.a.ssp", "site.a", "/d/site.a.set", "/d/site.a Screen 1.bmp",
         "/d/site.a Screen 8.bmp"},
        {"no extension", "/d/mast", "mast", "/d/mast.set", "/d/mast Screen 1.bmp", "/d/mast Screen 8.bmp"},
        {"dot only in the folder", "/d.x/mast", "mast", "/d.x/mast.set", "/d.x/mast Screen 1.bmp",
         "/d.x/mast Screen 8.bmp"},
        {"no folder", "mast.ssp", "mast", "mast.set", "mast Screen 1.bmp", "mast Screen 8.bmp"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const GroupMembers m = groupMembers(r.path);
        EXPECT_EQ(groupBaseName(r.path), r.base);
        EXPECT_EQ(m.setup, r.setup);
        EXPECT_EQ(m.screens.substr(m.screens.size() - 4), ".scr");
        EXPECT_EQ(m.program.substr(0, m.program.size() - 4), m.setup.substr(0, m.setup.size() - 4));
        EXPECT_EQ(m.listing.substr(m.listing.size() - 4), ".txt");
        EXPECT_EQ(m.pictures[0], r.picture1);
        EXPECT_EQ(m.pictures[7], r.picture8);
    }
}

TEST(GroupFile, OnlyTheExactMarkOpensAGroup) {
    struct Row {
        const char* name;
        std::string content;
        bool opens;
    } rows[] = {
        {"exact", "41700Group", true},
        {"trailing bytes", std::string("41700Group\0\r\nmore", 18), true},
        {"letter case", "41700GROUP", false},
        {"short", "41700Grou", false},
        {"empty", "", false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Rig rig;
        rig.ws.groupName = "before";
        rig.files.files["/g/x.ssp"] = Bytes(r.content.begin(), r.content.end());
        const bool opened = openGroupFiles(rig.host, rig.files, rig.ws, "/g/x.ssp");
        EXPECT_EQ(opened, r.opens);
        EXPECT_EQ(rig.ws.groupName, r.opens ? "x" : "before");
        // An opened group without members says so once for each of the three.
        const auto boxes = rig.boxTexts();
        if (r.opens)
            EXPECT_EQ(boxes.size(), 3u);
        else
            EXPECT_EQ(boxes, std::vector<std::string>{kIncorrectGroupText});
        EXPECT_EQ(rig.host.waitCursorDepth, 0);
    }
}

TEST(GroupFile, SavedMembersMatchTheIndividualFilesAndReadBack) {
    Rig saved;
    saved.fill();
    ASSERT_TRUE(saveGroupFiles(saved.host, saved.files, saved.ws, "/g/site.a.ssp", rawPicture).ok());
    EXPECT_TRUE(saved.host.boxes.empty());
    EXPECT_EQ(saved.ws.groupName, "site.a");
    const auto& f = saved.files.files;
    EXPECT_EQ(f.at("/g/site.a.ssp"), Bytes(kGroupMark.begin(), kGroupMark.end()));
    EXPECT_EQ(f.at("/g/site.a.set"), setup::writeSetupFile(saved.setup));
    EXPECT_EQ(f.at("/g/site.a.scr"), saved.storeBytes());
    EXPECT_EQ(f.at("/g/site.a.pgm"), writeProgramFile(saved.program));
    const std::string listing = programTreeText(saved.program.tree);
    EXPECT_EQ(f.at("/g/site.a.txt"), Bytes(listing.begin(), listing.end()));
    for (int s = 0; s < screens::kScreenCount; ++s) {
        screens::PixelBuffer expected(screens::kPictureWidth, screens::kPictureHeight, screens::kWhite);
        screens::drawPicture(expected, saved.store, s);
        EXPECT_EQ(f.at("/g/site.a Screen " + std::to_string(s + 1) + ".bmp"), rawPicture(expected)) << s;
    }

    Rig opened;
    opened.files.files = saved.files.files;
    opened.host.answers.push_back(MsgResult::Yes);
    opened.host.setNextFileName("/g/site.a.ssp");
    OpenGroup(opened.host, opened.files, opened.ws);
    EXPECT_TRUE(opened.host.boxes.size() == 1 && opened.host.boxes[0].kind == MsgKind::Confirmation);
    EXPECT_EQ(opened.ws.groupName, "site.a");
    EXPECT_EQ(setup::writeSetupFile(opened.setup), setup::writeSetupFile(saved.setup));
    EXPECT_EQ(opened.storeBytes(), saved.storeBytes());
    EXPECT_EQ(writeProgramFile(opened.program), writeProgramFile(saved.program));
}

TEST(GroupFile, EachMemberFailureHasItsOwnBoxAndTheOthersGoOn) {
    const std::string setupBox =
        "The Setup file cannot be opened.\nThe filename may have been changed\nor the file moved or erased. "
        "Please\nset Setup parameters manually.";
    Rig saved;
    saved.fill();
    ASSERT_TRUE(saveGroupFiles(saved.host, saved.files, saved.ws, "/g/m.ssp", rawPicture).ok());

    Rig opened;
    opened.files.files = saved.files.files;
    opened.files.files.erase("/g/m.set");
    ASSERT_TRUE(openGroupFiles(opened.host, opened.files, opened.ws, "/g/m.ssp"));
    EXPECT_EQ(opened.boxTexts(), std::vector<std::string>{setupBox});
    EXPECT_EQ(opened.setup.interval(), setup::SetupModel().interval());
    EXPECT_EQ(opened.storeBytes(), saved.storeBytes());
    EXPECT_EQ(writeProgramFile(opened.program), writeProgramFile(saved.program));

    // One member that cannot be written keeps the whole old group: none of the four is replaced,
    // and the box names the member's file and the reason.
    const GroupMembers m = groupMembers("/g/m.ssp");
    const struct {
        std::string readOnly;
        std::string box;
    } failures[] = {
        {m.setup, "The Setup file could not be saved.\n/g/m.set: Access is denied."},
        {m.screens, "The Screen file could not be saved.\n/g/m.scr: Access is denied."},
        {m.program, "The Program file could not be saved.\n/g/m.pgm: Access is denied."},
    };
    for (const auto& f : failures) {
        SCOPED_TRACE(f.readOnly);
        Rig rig;
        rig.fill();
        const std::map<std::string, Bytes> old = {
            {"/g/m.ssp", Bytes{1}}, {m.setup, Bytes{2}}, {m.screens, Bytes{3}}, {m.program, Bytes{4}}};
        rig.files.files.insert(old.begin(), old.end());
        rig.files.readOnly = {f.readOnly};
        const Outcome out = saveGroupFiles(rig.host, rig.files, rig.ws, "/g/m.ssp", rawPicture);
        EXPECT_EQ(out.kind(), Outcome::Kind::NotWritten);
        EXPECT_EQ(out.reason(), f.box);
        EXPECT_EQ(rig.boxTexts(), std::vector<std::string>{f.box});
        EXPECT_EQ(rig.files.files, old);
        EXPECT_EQ(rig.ws.groupName, "");
    }

    // The listing and the pictures are for people: their failures have no box.
    Rig readOnly;
    readOnly.fill();
    readOnly.files.readOnly = {m.listing, m.pictures[0]};
    const Outcome out = saveGroupFiles(readOnly.host, readOnly.files, readOnly.ws, "/g/m.ssp", rawPicture);
    EXPECT_TRUE(out.ok());
    EXPECT_TRUE(readOnly.host.boxes.empty());
    // The first picture failing ends the pictures.
    EXPECT_FALSE(readOnly.files.files.contains(m.pictures[1]));

    Rig noGroup;
    noGroup.files.readOnly = {"/g/m.ssp"};
    EXPECT_FALSE(saveGroupFiles(noGroup.host, noGroup.files, noGroup.ws, "/g/m.ssp", rawPicture).ok());
    EXPECT_EQ(noGroup.host.boxes.size(), 1u);
    EXPECT_EQ(noGroup.files.files.size(), 0u);
    EXPECT_EQ(noGroup.ws.groupName, "");
}

TEST(GroupFile, AnsweringNoShowsNoDialogAndChangesNothing) {
    Rig rig;
    rig.files.files["/g/m.ssp"] = Bytes(kGroupMark.begin(), kGroupMark.end());
    rig.host.answers.push_back(MsgResult::No);
    rig.host.setNextFileName("/g/m.ssp");
    OpenGroup(rig.host, rig.files, rig.ws);
    EXPECT_TRUE(rig.host.dialogs.empty());
    EXPECT_EQ(rig.ws.groupName, "");
    EXPECT_EQ(rig.host.boxes.size(), 1u);
}

}  // namespace
}  // namespace vrn::workspace
