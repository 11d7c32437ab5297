#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/terminal_host.h"
#include "cli_rig.h"
#include "core/link/exchange.h"
#include "sim/faults.h"

namespace vrn::cli::test {
namespace {

struct Row {
    std::vector<std::string> command;
    int status;
    const char* kind;
};

// The document's outcome of one run; a document that does not parse fails the test.
QJsonObject outcomeOf(CliRig& rig, std::vector<std::string> args, int status) {
    const int got = rig.run(std::move(args));
    EXPECT_EQ(got, status) << rig.err.str();
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(rig.out.str()), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << rig.out.str();
    EXPECT_TRUE(doc.object()["outcome"].isObject()) << rig.out.str();
    return doc.object()["outcome"].toObject();
}

// Every command that talks to the instrument, against one that never answers: its document says
// how it failed and the line that said why, and it exits as the README's table says.
TEST(CliJsonOutcome, SilentInstrumentGivesEveryCommandItsOutcome) {
    const std::vector<Row> rows = {
        {{"--yes", "erase-records"}, kExitFailed, "failed"},
        {{"--yes", "calibrate", "se-zero", "--password-file", "pw"}, kExitFailed, "failed"},
        {{"cal-data"}, kExitFailed, "failed"},
        {{"cal-check", "se", "--password-file", "pw"}, kExitFailed, "failed"},
        {{"get-setup", "s.set"}, kExitFailed, "failed"},
        {{"send-setup", "s.set"}, kExitFailed, "failed"},
        {{"get-screens", "s.scr"}, kExitFailed, "failed"},
        {{"get-program", "p.pgm"}, kExitFailed, "failed"},
        {{"get-records", "10", "r.txt"}, kExitFailed, "failed"},
        {{"get-records", "all", "r.txt"}, kExitFailed, "failed"},
        {{"get-all", "g.ssp"}, kExitFailed, "failed"},
        {{"test", "ram"}, kExitFailed, "failed"},
        {{"test", "input", "se", "1"}, kExitFailed, "failed"},
        {{"test", "rom"}, kExitFailed, "failed"},
        {{"diff-setup", "s.set"}, kExitFailed, "failed"},
        {{"--yes", "firmware", "f.glo"}, kExitFailed, "failed"},
        {{"--yes", "firmware", "f.glo", "--backup", "b.ssp"}, kExitFailed, "failed"},
    };
    for (const Row& r : rows) {
        std::string named;
        for (const std::string& word : r.command)
            named += word + " ";
        SCOPED_TRACE(named);
        CliRig rig;
        rig.files.files["pw"] = {'k', 'v', 't', '4', '1', '9', '3', '8', '\n'};
        ASSERT_EQ(rig.run({"--simulate", "get-setup", "s.set"}), kExitOk) << rig.err.str();
        std::ifstream firmware(std::string(VRN_FIRMWARE_DIR).append("/demo.glo"), std::ios::binary);
        rig.files.files["f.glo"] = {std::istreambuf_iterator<char>(firmware), {}};
        rig.instrument.faults.all = sim::Fault::silent();
        std::vector<std::string> args = {"--simulate", "--json"};
        args.insert(args.end(), r.command.begin(), r.command.end());
        const QJsonObject outcome = outcomeOf(rig, args, r.status);
        EXPECT_EQ(outcome["kind"].toString().toStdString(), r.kind);
        EXPECT_FALSE(outcome["reason"].toString().isEmpty()) << rig.out.str();
    }
}

// The kinds an operation adds reach the document as failures, each with its line and the exit
// status of its kind: a record file that could not be written after the download, a program that
// came but cannot be used (its own box, not the communication error's).
TEST(CliJsonOutcome, FileAndProgramFailuresAreFailuresWithTheirLine) {
    const struct Row {
        std::vector<std::string> command;
        std::function<void(CliRig&)> arrange;
        int status;
        std::string reason;
    } rows[] = {
        {{"get-records", "3", "/full/r.txt"},
         [](CliRig&) {},
         kExitUsage,
         "The named file cannot be opened. It may be in use by another program. /full/r.txt No space left on "
         "device"},
        {{"get-program", "p.pgm"},
         [](CliRig& rig) {
             // Every slot a BEEP: a program without its PGM END.
             for (size_t k = 0; k < 512; ++k) {
                 rig.instrument.state.program[k * 128] = 0;
                 rig.instrument.state.program[k * 128 + 1] = 3;
                 rig.instrument.state.program[65536 + k * 4] = static_cast<uint8_t>(k >> 8);
                 rig.instrument.state.program[65536 + k * 4 + 1] = static_cast<uint8_t>(k);
             }
         },
         kExitFailed,
         "The program has no PGM END."},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.command.front());
        CliRig rig;
        r.arrange(rig);
        std::vector<std::string> args = {"--simulate", "--json"};
        args.insert(args.end(), r.command.begin(), r.command.end());
        const QJsonObject outcome = outcomeOf(rig, args, r.status);
        EXPECT_EQ(outcome["kind"].toString(), "failed");
        EXPECT_EQ(outcome["reason"].toString().toStdString(), r.reason);
        EXPECT_EQ(rig.err.str().find(oneLine(kCommErrorText)), std::string::npos) << rig.err.str();
    }
}

// A port that cannot be opened reached nothing: the outcome is a failure with the warning's line.
TEST(CliJsonOutcome, PortThatCannotBeOpenedIsAFailure) {
    CliRig rig;
    rig.instrumentPresent = false;
    const QJsonObject outcome = outcomeOf(rig, {"--json", "--port", "/dev/ttyUSB9", "cal-data"}, kExitFailed);
    EXPECT_EQ(outcome["kind"].toString(), "failed");
    EXPECT_FALSE(outcome["reason"].toString().isEmpty());
}

}  // namespace
}  // namespace vrn::cli::test
