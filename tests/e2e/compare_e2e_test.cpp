// Comparing what vrncomm-sim holds with files, through vrncomm-cli on the real clock.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "cli_process.h"
#include "sim_process.h"

namespace vrn::test {
namespace {

// Replaces one line of the simulator's kept Setup while it is stopped.
bool replaceStateLine(const QString& path, const QByteArray& from, const QByteArray& to) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    QByteArray text = f.readAll();
    f.close();
    const qsizetype at = text.indexOf("\n" + from + "\n");
    if (at < 0) return false;
    text.replace(at + 1, from.size(), to);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text) == text.size();
}

TEST(CompareEndToEnd, DiffSetupIsEqualAfterASendAndNamesTheOneValueChangedSince) {
    QTemporaryDir dir;
    const QString state = dir.filePath("state"), file = dir.filePath("station.set");
    // A Setup of the built-in simulated instrument, which differs from a fresh vrncomm-sim's clock.
    ASSERT_EQ(runCli({"--simulate", "get-setup", file}).exitCode, 0);
    {
        SimProcess sim({"--state", state.toStdString()});
        ASSERT_FALSE(sim.path().empty()) << sim.errorText();
        const CliRun send = runCliOn(sim.path(), {"send-setup", file});
        ASSERT_EQ(send.exitCode, 0) << send.err;
        const CliRun same = runCliOn(sim.path(), {"diff-setup", file});
        EXPECT_EQ(same.exitCode, 0) << same.err;
        EXPECT_EQ(same.out,
                  "GET SETUP...\nFINISHED GETTING SETUP.\nSETUP: SAME AS " + file.toStdString() + ".\n");
        EXPECT_EQ(sim.stop(), 0);
    }
    ASSERT_TRUE(replaceStateLine(state + "/setup.txt", "interval 15", "interval 42"));
    SimProcess changed({"--state", state.toStdString()});
    ASSERT_FALSE(changed.path().empty()) << changed.errorText();
    const CliRun differs = runCliOn(changed.path(), {"--quiet", "diff-setup", file});
    EXPECT_EQ(differs.exitCode, 3) << differs.err;
    EXPECT_EQ(differs.out, "INTERVAL: file 15, instrument 42\n");
    EXPECT_EQ(differs.err, "");
}

TEST(CompareEndToEnd, SendProgramVerifyFailsWhenTheInstrumentStoresItWrong) {
    QTemporaryDir dir;
    const QString file = dir.filePath("station.pgm");
    ASSERT_EQ(runCli({"--simulate", "get-program", file}).exitCode, 0);
    const CliRun listing = runCli({"listing", file});
    ASSERT_EQ(listing.exitCode, 0);
    // The last instruction before PGM END, which the faulty instrument loses.
    const std::string body = listing.out.substr(0, listing.out.size() - std::string("PGM END\n").size());
    size_t last = body.rfind('\n', body.size() - 2);
    while (last != std::string::npos && body[last + 1] == '\t')
        last = body.rfind('\n', last - 1);
    // The instruction's line and its parameters' lines, each as the diff removes it.
    std::string removedOnStderr;
    std::string removed;
    for (size_t at = last + 1; at < body.size();) {
        const size_t end = body.find('\n', at);
        removedOnStderr += "\n  -" + body.substr(at, end - at);
        removed += "\n-" + body.substr(at, end - at);
        at = end + 1;
    }

    SimProcess sim({"--lose-last-instruction"});
    ASSERT_FALSE(sim.path().empty()) << sim.errorText();
    const CliRun send = runCliOn(sim.path(), {"send-program", file, "--verify"});
    EXPECT_EQ(send.exitCode, 3);
    EXPECT_TRUE(
        send.out.starts_with("SEND USER PROGRAM...\nFINISHED SENDING USER PROGRAM.\nGET USER PROGRAM...\n"))
        << send.out;
    EXPECT_TRUE(send.out.ends_with("PROGRAM: DIFFERENT FROM " + file.toStdString() + ".\n")) << send.out;
    EXPECT_TRUE(send.err.starts_with("error: the instrument's program differs from " + file.toStdString() +
                                     " after the send:\n  --- " + file.toStdString() +
                                     "\n  +++ instrument\n  @@ "))
        << send.err;
    // Lost, not replaced: PGM END follows as context and nothing is added.
    EXPECT_NE(send.err.find(removedOnStderr + "\n   PGM END\n"), std::string::npos) << send.err;
    EXPECT_EQ(send.err.find("\n  +", send.err.find("+++")), std::string::npos) << send.err;

    const CliRun diff = runCliOn(sim.path(), {"--quiet", "diff-program", file});
    EXPECT_EQ(diff.exitCode, 3);
    EXPECT_NE(diff.out.find(removed + "\n"), std::string::npos) << diff.out;
}

}  // namespace
}  // namespace vrn::test
