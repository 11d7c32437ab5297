// vrncomm-cli as a user runs it: a separate process on the simulator's pty, real time.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "cli_process.h"
#include "core/setup/setup_file.h"
#include "core/setup/setup_model.h"
#include "sim_process.h"

namespace vrn::test {
namespace {

TEST(CliEndToEnd, GetAfterSendGivesBackAByteIdenticalSetupFile) {
    SimProcess sim;
    ASSERT_FALSE(sim.path().empty()) << sim.errorText();
    QTemporaryDir dir;
    setup::SetupModel m;
    m.setCom1Type(1);
    m.setCom1Baud(7);
    m.setInterval(15);
    m.setFieldsPerRecord(4);
    m.setLabel(3, "WIND SPEED");
    m.setPrecision(3, 2);
    const std::vector<uint8_t> bytes = setup::writeSetupFile(m);
    const QString in = dir.filePath("in.set"), out = dir.filePath("out.set");
    {
        QFile f(in);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    }
    const QString port = QString::fromStdString(sim.path());
    const CliRun send = runCli({"--port", port, "send-setup", in, "--time", "06-15-2026 10:20:30"});
    ASSERT_EQ(send.exitCode, 0) << send.err;
    EXPECT_EQ(send.out, "SEND SETTINGS...\nFINISHED SENDING SETTINGS.\n");
    const CliRun get = runCli({"--port", port, "get-setup", out});
    ASSERT_EQ(get.exitCode, 0) << get.err;
    // The simulator's clock runs on from the time sent, for the second or two the runs take.
    const std::string timeLine = "INSTRUMENT TIME: 06-15-2026 10:20:";
    ASSERT_EQ(get.out.substr(0, get.out.find(timeLine)), "GET SETUP...\nFINISHED GETTING SETUP.\n");
    const int seconds = std::stoi(get.out.substr(get.out.find(timeLine) + timeLine.size()));
    EXPECT_GE(seconds, 30);
    EXPECT_LE(seconds, 40);
    EXPECT_EQ(readAll(out), readAll(in));
    std::printf("send-setup %lld ms, get-setup %lld ms (whole process, real clock)\n",
                static_cast<long long>(send.ms), static_cast<long long>(get.ms));
}

TEST(CliEndToEnd, SilentInstrumentFailsWithStatusOneAndWritesNoFile) {
    SimProcess sim({"--silent"});
    ASSERT_FALSE(sim.path().empty()) << sim.errorText();
    QTemporaryDir dir;
    const QString out = dir.filePath("out.set");
    const CliRun get = runCli({"--port", QString::fromStdString(sim.path()), "get-setup", out});
    EXPECT_EQ(get.exitCode, 1) << get.err;
    EXPECT_EQ(get.out, "GET SETUP...\nCANNOT GET DATE\nGET SETUP FAILED.\n");
    EXPECT_NE(get.err.find("warning: Cannot communicate with 41700."), std::string::npos) << get.err;
    EXPECT_FALSE(QFile::exists(out));
}

TEST(CliEndToEnd, BadDateIsRefusedBeforeAnythingIsSent) {
    // A silent instrument would keep a send busy for seconds: a refusal comes at once.
    SimProcess sim({"--silent"});
    ASSERT_FALSE(sim.path().empty()) << sim.errorText();
    QTemporaryDir dir;
    const QString in = dir.filePath("in.set");
    {
        const std::vector<uint8_t> bytes = setup::writeSetupFile(setup::SetupModel());
        QFile f(in);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    }
    const CliRun send = runCli(
        {"--port", QString::fromStdString(sim.path()), "send-setup", in, "--time", "02-30-2026 00:00:00"});
    EXPECT_EQ(send.exitCode, 2);
    EXPECT_EQ(send.out, "");
    EXPECT_NE(send.err.find("error: "), std::string::npos);
    EXPECT_LT(send.ms, 2000);
}

TEST(CliEndToEnd, TheSimulatorKeepsWhatWasSentAcrossARestart) {
    QTemporaryDir dir;
    const QString state = dir.filePath("state"), in = dir.filePath("in.set"), out = dir.filePath("out.set");
    setup::SetupModel m;
    m.setInterval(42);
    m.setFieldsPerRecord(3);
    m.setLabel(2, "GUST \u00B0");
    const std::vector<uint8_t> bytes = setup::writeSetupFile(m);
    {
        QFile f(in);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    }
    {
        SimProcess sim({"--state", state.toStdString()});
        ASSERT_FALSE(sim.path().empty()) << sim.errorText();
        const CliRun send = runCli({"--port", QString::fromStdString(sim.path()), "send-setup", in});
        ASSERT_EQ(send.exitCode, 0) << send.err;
        EXPECT_EQ(sim.stop(), 0);
    }
    SimProcess again({"--state", state.toStdString()});
    ASSERT_FALSE(again.path().empty()) << again.errorText();
    const CliRun get = runCli({"--port", QString::fromStdString(again.path()), "get-setup", out});
    ASSERT_EQ(get.exitCode, 0) << get.err;
    EXPECT_EQ(readAll(out), readAll(in));
}

TEST(CliEndToEnd, SimulateNeedsNoDevice) {
    QTemporaryDir dir;
    const QString out = dir.filePath("sim.set");
    const CliRun get = runCli({"--simulate", "get-setup", out});
    EXPECT_EQ(get.exitCode, 0) << get.err;
    EXPECT_EQ(readAll(out).size(), 990);
}

}  // namespace
}  // namespace vrn::test
