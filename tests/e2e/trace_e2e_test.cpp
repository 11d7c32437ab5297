// The link trace of vrncomm-cli and vrncomm-sim, on the real clock over a pty.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <string>

#include "cli_process.h"
#include "sim_process.h"

namespace vrn::test {
namespace {

// The bytes of every run in one direction ("write" or "read"), in order, read back from the
// trace's hex columns.
std::string runBytes(const QByteArray& trace, const std::string& direction) {
    constexpr size_t kHexAt = 26;
    constexpr size_t kHexWidth = 48;
    std::string bytes;
    bool inRun = false;
    for (const QByteArray& l : trace.split('\n')) {
        const std::string line = l.toStdString();
        if (line.size() <= kHexAt) {
            inRun = false;
            continue;
        }
        const bool continuation = line.find_first_not_of(' ') >= kHexAt;
        if (!continuation) inRun = line.substr(13, direction.size() + 1) == direction + " ";
        if (!inRun) continue;
        const std::string hex = line.substr(kHexAt, kHexWidth);
        for (size_t at = 0; at + 2 <= hex.size() && hex[at] != ' '; at += 3)
            bytes.push_back(static_cast<char>(std::stoi(hex.substr(at, 2), nullptr, 16)));
    }
    return bytes;
}

TEST(TraceEndToEnd, AGetSetupWritesWhatTheSimulatorReceivedAndReadsWhatItSent) {
    QTemporaryDir dir;
    const QString simTrace = dir.filePath("sim-trace.txt"), cliTrace = dir.filePath("cli-trace.txt");
    {
        SimProcess sim({"--trace", simTrace.toStdString()});
        ASSERT_FALSE(sim.path().empty()) << sim.errorText();
        const CliRun get = runCliOn(sim.path(), {"--trace", cliTrace, "get-setup", dir.filePath("s.set")});
        ASSERT_EQ(get.exitCode, 0) << get.err;
        EXPECT_EQ(sim.stop(), 0);
    }
    const QByteArray cli = readAll(cliTrace), simulator = readAll(simTrace);
    const std::string commands =
        "CMD275\rCMD285\rCMD225\rCMD235\rCMD245\rCMD265\rCMD255\rCMD315\rCMD325\rCMD331\rCMD333\rCMD335\r";
    EXPECT_EQ(runBytes(cli, "write"), commands) << cli.left(2000).toStdString();
    EXPECT_EQ(runBytes(simulator, "read"), commands) << simulator.left(2000).toStdString();
    // The replies, the 800-byte record format block among them, came through whole.
    const std::string replies = runBytes(simulator, "write");
    EXPECT_GT(replies.size(), 800u);
    EXPECT_EQ(runBytes(cli, "read"), replies);
    EXPECT_TRUE(cli.contains(" open \"")) << cli.left(300).toStdString();
    EXPECT_TRUE(cli.contains(" purge\n"));
    EXPECT_TRUE(cli.contains(" pause 50 ms\n"));
    EXPECT_TRUE(cli.endsWith(" close\n")) << cli.right(300).toStdString();
}

TEST(TraceEndToEnd, AnUnwritableTraceIsRefused) {
    const CliRun run =
        runCli({"--simulate", "--trace", "/nonexistent-dir/t.txt", "get-setup", "/nonexistent-dir/s.set"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, "error: cannot write the trace /nonexistent-dir/t.txt: No such file or directory\n");
}

}  // namespace
}  // namespace vrn::test
