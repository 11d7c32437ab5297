#include "core/program/program_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/program/program_actions.h"
#include "memory_file_store.h"
#include "program_rig.h"

namespace vrn {
namespace {

using Lines = std::vector<std::string>;

std::vector<uint8_t> withText(std::string_view text) {
    std::string file(ProgramStore::kImageSize, '\x11');
    file += text;
    return {file.begin(), file.end()};
}

Lines flattened(const ProgramTree& tree) {
    Lines out;
    tree.forEach(
        [&out](size_t depth, const std::string& text) { out.push_back(std::to_string(depth) + ":" + text); });
    return out;
}

TEST(ProgramFile, SaveAndOpenGiveTheSameBytesAndTexts) {
    test::ProgramRig rig;
    rig.selectEnd();
    rig.insert("LOC = VALUE");
    rig.dialogs.textAnswers.push_back("-.5");
    rig.select({0, 1});
    rig.editor.editSelectedParameter();
    rig.selectEnd();
    rig.insert("DISPLAY TEXT");
    rig.dialogs.textAnswers.push_back("25\u00B0C");
    rig.select({1, 3});
    rig.editor.editSelectedParameter();
    ASSERT_EQ(rig.program.tree.find({0, 1})->text, "val= -.5");

    const std::vector<uint8_t> file = writeProgramFile(rig.program);
    const std::string text(file.begin() + ProgramStore::kImageSize, file.end());
    EXPECT_NE(text.find("\tval= -.5\r\n"), std::string::npos);
    EXPECT_NE(text.find("\ttext= 25\xB0"
                        "C"),
              std::string::npos);

    ProgramModel opened;
    EXPECT_EQ(readProgramFile(file, opened), std::nullopt);
    EXPECT_EQ(flattened(opened.tree), flattened(rig.program.tree));
    EXPECT_EQ(writeProgramFile(opened), file);
}

TEST(ProgramFile, PgmEndOnlyFileIs65545Bytes) {
    const ProgramModel program;
    const std::vector<uint8_t> file = writeProgramFile(program);
    ASSERT_EQ(file.size(), 65545u);
    EXPECT_EQ(std::string(file.end() - 9, file.end()), "PGM END\r\n");
}

TEST(ProgramFile, LevelRules) {
    struct Row {
        const char* name;
        std::string text;
        Lines tree;
        std::optional<std::string> error;
    } rows[] = {
        {"instruction and parameters", "A\r\n\tp1\r\n\tp2\r\nB\r\n", {"0:A", "1:p1", "1:p2", "0:B"}, {}},
        {"first line top level whatever its level", "\t\tA\r\n\tp\r\n", {"0:A", "1:p"}, {}},
        {"a leading blank is a level", "A\r\n x\r\n", {"0:A", "1:x"}, {}},
        {"lone CR and lone LF end lines too", "A\r\tp\nB", {"0:A", "1:p", "0:B"}, {}},
        {"deeper trees, back up two levels", "A\n\tb\n\t\tc\nD\n", {"0:A", "1:b", "2:c", "0:D"}, {}},
        {"too deep stops the reading", "A\r\n\t\tx\r\nB\r\n", {"0:A"}, "Invalid level (2) for item \"x\""},
        {"too deep after a parameter",
         "A\r\n\tp\r\n\t \tq\r\n",
         {"0:A", "1:p"},
         "Invalid level (3) for item \"q\""},
        {"Windows-1252 degree sign",
         "t= 25\xB0"
         "C\r\n",
         {"0:t= 25\u00B0C"},
         {}},
        {"no text, no nodes", "", {}, {}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        ProgramModel program;
        EXPECT_EQ(readProgramFile(withText(r.text), program), r.error);
        EXPECT_EQ(flattened(program.tree), r.tree);
        EXPECT_EQ(program.store.instruction(511), 0x1111);
    }
}

TEST(ProgramFile, AFileShorterThanTheImageIsRefusedAndTheProgramKept) {
    struct Row {
        const char* name;
        size_t size;
        bool read;
    } rows[] = {
        {"empty", 0, false},
        {"a few slots", 300, false},
        {"one byte short", ProgramStore::kImageSize - 1, false},
        {"the image alone", ProgramStore::kImageSize, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        // Opened from the window's menu and read as the command line and the group open read it.
        test::ProgramRig rig;
        rig.selectEnd();
        rig.insert("BEEP");
        rig.program.store.setInstruction(300, 7);
        const ProgramModel before = rig.program;
        test::MemoryFileStore files;
        files.files["/data/short.pgm"] = std::vector<uint8_t>(r.size, 0x22);
        rig.host.setNextFileName("/data/short.pgm");
        program::OpenPgmFile(rig.host, files, rig.program);
        ProgramModel direct;
        const auto message = readProgramFile(files.files["/data/short.pgm"], direct);
        EXPECT_EQ(message.has_value(), !r.read);
        if (r.read) {
            EXPECT_TRUE(rig.host.boxes.empty());
            EXPECT_EQ(rig.program.store.instruction(0), 0x2222);
            EXPECT_TRUE(rig.program.tree.empty());
            continue;
        }
        const std::string want = "Not a program file: it has " + std::to_string(r.size) +
                                 " bytes,\nwhere a program file has at least 65536.";
        EXPECT_EQ(message, want);
        EXPECT_EQ(rig.boxTexts(), Lines{want});
        EXPECT_TRUE(std::ranges::equal(rig.program.store.image(), before.store.image()));
        EXPECT_EQ(flattened(rig.program.tree), flattened(before.tree));
        EXPECT_EQ(flattened(direct.tree), Lines{"0:PGM END"});
    }
}

TEST(ProgramFile, MenuCommandsAndTheirBoxes) {
    struct Row {
        const char* name;
        bool save;
        std::optional<std::string> path;
        Lines boxes;
    } rows[] = {
        {"save", true, "/data/a.pgm", {}},
        {"save cancelled", true, std::nullopt, {}},
        {"save where it cannot",
         true,
         "/readonly/a.pgm",
         {"Cannot create file /readonly/a.pgm\nAccess is denied."}},
        {"open", false, "/data/b.pgm", {}},
        {"open a missing file",
         false,
         "/data/none.pgm",
         {"Cannot open file /data/none.pgm\nNo such file or directory"}},
        {"open a file too deep", false, "/data/deep.pgm", {"Invalid level (2) for item \"x\""}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        test::ProgramRig rig;
        test::MemoryFileStore files;
        files.files["/data/b.pgm"] = withText("BEEP\r\n\tnum= 1\r\nPGM END\r\n");
        files.files["/data/deep.pgm"] = withText("A\r\n\t\tx\r\n");
        rig.host.setNextFileName(r.path);
        if (r.save) {
            program::SavePgmFile(rig.host, files, rig.program);
            EXPECT_EQ(rig.host.dialogs.at(0).overwritePrompt, true);
            if (r.boxes.empty() && r.path) {
                EXPECT_EQ(files.files.at(*r.path), writeProgramFile(rig.program));
            }
        } else {
            program::OpenPgmFile(rig.host, files, rig.program);
            EXPECT_EQ(rig.host.dialogs.at(0).mustExist, true);
        }
        EXPECT_EQ(rig.host.dialogs.at(0).filter, "User Program Files (*.pgm)|*.pgm|All Files (*.*)|*.*");
        EXPECT_EQ(rig.boxTexts(), r.boxes);
        if (r.name == std::string("open")) {
            EXPECT_EQ(rig.instructions(), (Lines{"BEEP", "PGM END"}));
        }
        if (r.path == "/data/none.pgm") {
            EXPECT_EQ(rig.instructions(), (Lines{"PGM END"}));
        }
    }
}

}  // namespace
}  // namespace vrn
