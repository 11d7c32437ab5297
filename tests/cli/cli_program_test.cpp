#include <gtest/gtest.h>

#include "cli_rig.h"
#include "core/program/program_file.h"
#include "core/program/program_model.h"

namespace vrn::cli::test {
namespace {

std::vector<uint8_t> fileWithText(std::string_view text, uint16_t firstInstruction = 0) {
    ProgramModel program;
    program.store.setInstruction(0, firstInstruction);
    const std::vector<uint8_t> image = writeProgramFile(program);
    std::string file(image.begin(), image.begin() + ProgramStore::kImageSize);
    file += text;
    return {file.begin(), file.end()};
}

TEST(CliProgram, GetSendAndListing) {
    CliRig rig;
    ASSERT_EQ(rig.run({"--simulate", "get-program", "own.pgm"}), kExitOk) << rig.err.str();
    EXPECT_EQ(rig.out.str().substr(0, 20), "GET USER PROGRAM...\n");
    EXPECT_NE(rig.out.str().find("FINISHED GETTING USER PROGRAM.\n"), std::string::npos);
    const std::vector<uint8_t> own = rig.files.files.at("own.pgm");

    ASSERT_EQ(rig.run({"listing", "own.pgm"}), kExitOk) << rig.err.str();
    EXPECT_EQ(rig.out.str().substr(0, 21), "INPUT VOLTAGE\n\tchan= ");
    EXPECT_NE(rig.out.str().find("\ttext= TEMP \u00B0F"), std::string::npos);
    EXPECT_TRUE(rig.out.str().ends_with("RECORD TIME\n\tfrmt= TIME\nPGM END\n")) << rig.out.str();
    EXPECT_TRUE(rig.choices.size() == 1);  // the listing opened no port

    rig.files.files["mine.pgm"] = fileWithText("BEEP\r\n\tnum= 3\r\nPGM END\r\n", 3);
    ASSERT_EQ(rig.run({"--simulate", "send-program", "mine.pgm"}), kExitOk) << rig.err.str();
    EXPECT_EQ(rig.out.str(), "SEND USER PROGRAM...\nFINISHED SENDING USER PROGRAM.\n");
    ASSERT_EQ(rig.run({"--simulate", "get-program", "back.pgm"}), kExitOk);
    ASSERT_EQ(rig.run({"listing", "back.pgm"}), kExitOk);
    EXPECT_EQ(rig.out.str(), "BEEP\n\tnum= \nPGM END\n");  // num's text field was never typed
}

TEST(CliProgram, RefusalsAndFailures) {
    struct Row {
        const char* name;
        std::vector<std::string> args;
        int exit;
        std::string err;
    } rows[] = {
        {"no file",
         {"get-program"},
         kExitUsage,
         "error: get-program: FILE.pgm is missing\nUsage: vrncomm-cli [OPTIONS] get-program FILE.pgm\n"},
        {"missing file",
         {"listing", "none.pgm"},
         kExitUsage,
         "error: cannot read none.pgm: No such file or directory\n"},
        {"short file",
         {"send-program", "short.pgm"},
         kExitUsage,
         "error: short.pgm: Not a program file: it has 10 bytes, where a program file has at least 65536.\n"},
        {"damaged tree",
         {"listing", "deep.pgm"},
         kExitUsage,
         "error: deep.pgm: Invalid level (2) for item \"x\"\n"},
        {"no PGM END",
         {"--simulate", "send-program", "endless.pgm"},
         kExitUsage,
         "error: endless.pgm has no PGM END in its 512 instruction slots\n"},
        {"unwritable",
         {"--simulate", "get-program", "/readonly/a.pgm"},
         kExitUsage,
         "error: cannot write /readonly/a.pgm: Access is denied.\n"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        CliRig rig;
        rig.files.files["short.pgm"] = std::vector<uint8_t>(10);
        rig.files.files["deep.pgm"] = fileWithText("A\r\n\t\tx\r\n");
        std::vector<uint8_t> endless(ProgramStore::kImageSize, 0x01);
        rig.files.files["endless.pgm"] = endless;
        EXPECT_EQ(rig.run(r.args), r.exit);
        EXPECT_EQ(rig.err.str(), r.err);
        EXPECT_EQ(rig.instrument.commandCounts.count(110), 0u);
    }
    CliRig silent;
    silent.instrument.faults.perCommand[115] = sim::Fault::silent();
    EXPECT_EQ(silent.run({"--simulate", "get-program", "a.pgm"}), kExitFailed);
    EXPECT_EQ(silent.files.files.count("a.pgm"), 0u);
    EXPECT_NE(silent.err.str().find("warning: Cannot communicate with 41700."), std::string::npos)
        << silent.err.str();
}

}  // namespace
}  // namespace vrn::cli::test
