// Send and get a user program with vrncomm-cli over the simulator's pty, on the real clock.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

#include "cli_process.h"
#include "core/program/program_file.h"
#include "sim_process.h"

namespace vrn::test {
namespace {

// 511 instructions with integer, decimal, text, hex and choice values, then PGM END.
ProgramModel fullProgram() {
    ProgramModel p;
    p.tree.clear();
    for (size_t k = 0; k < 511; ++k) {
        if (k % 2 == 0) {
            p.store.setInstruction(k, 34);  // LOC = VALUE
            p.store.setIntValue(k, 0, 12);
            p.store.setTextField(k, 0, "012");
            p.store.setFloatValue(k, 1, -0.5f);
            p.store.setTextField(k, 1, "-.5");
            p.tree.append({}, "LOC = VALUE");
            p.tree.append({k}, "loc= 012");
            p.tree.append({k}, "val= -.5");
        } else {
            p.store.setInstruction(k, 17);  // IF FLAG MASK
            p.store.setShortValue(k, 0, 0xBEEF);
            p.store.setTextField(k, 0, "BEEF");
            p.store.setShortValue(k, 2, 1);
            p.tree.append({}, "IF FLAG MASK");
            p.tree.append({k}, "mask= BEEF");
            p.tree.append({k}, "logic= ANY");
            p.tree.append({k}, "state= ON ");
        }
    }
    p.store.clearSlot(2);
    p.store.setInstruction(2, 48);  // SERIAL BUFFER TEXT, in place of one LOC = VALUE
    p.store.setTextArea(2, "25~C");
    p.tree.remove({2});
    p.tree.insert({2}, "SERIAL BUFFER TEXT");
    p.tree.append({2}, "text= 25\u00B0C");
    p.store.setInstruction(511, 0);
    p.tree.append({}, "PGM END");
    return p;
}

TEST(ProgramEndToEnd, SendThenGetGivesAByteIdenticalFile) {
    SimProcess sim;
    ASSERT_FALSE(sim.path().empty()) << sim.errorText();
    QTemporaryDir dir;
    const QString in = dir.filePath("in.pgm"), out = dir.filePath("out.pgm");
    const std::vector<uint8_t> bytes = writeProgramFile(fullProgram());
    {
        QFile f(in);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    }
    const QString port = QString::fromStdString(sim.path());
    // A pattern that fills every slot, not a program the instrument could run: its 255 IFs are
    // never closed, so the send is told to go on past the check's errors.
    const CliRun send = runCli({"--port", port, "--yes", "send-program", in});
    ASSERT_EQ(send.exitCode, 0) << send.err;
    EXPECT_EQ(send.out, "SEND USER PROGRAM...\nFINISHED SENDING USER PROGRAM.\n");
    const CliRun get = runCli({"--port", port, "get-program", out});
    ASSERT_EQ(get.exitCode, 0) << get.err;
    EXPECT_EQ(get.out.substr(0, 36), "GET USER PROGRAM...\nFIRST HEADER...\n");
    EXPECT_TRUE(get.out.ends_with("LAST HEADER...\nFINISHED GETTING USER PROGRAM.\n")) << get.out;
    EXPECT_EQ(readAll(out), readAll(in));

    const CliRun listing = runCli({"listing", out});
    ASSERT_EQ(listing.exitCode, 0) << listing.err;
    EXPECT_TRUE(
        listing.out.starts_with("LOC = VALUE\n\tloc= 012\n\tval= -.5\nIF FLAG MASK\n\tmask= BEEF\n"
                                "\tlogic= ANY\n\tstate= ON \nSERIAL BUFFER TEXT\n\ttext= 25\u00B0C\n"))
        << listing.out.substr(0, 200);
    // 67,584 bytes at 1,250,000 baud, 10 bits a byte: 541 ms on the wire.
    std::printf("send-program %lld ms, get-program %lld ms (whole process, real clock; wire 541 ms)\n",
                static_cast<long long>(send.ms), static_cast<long long>(get.ms));
}

TEST(ProgramEndToEnd, SilentInstrumentFailsAndWritesNoFile) {
    SimProcess sim({"--silent-cmd", "115"});
    ASSERT_FALSE(sim.path().empty()) << sim.errorText();
    QTemporaryDir dir;
    const QString out = dir.filePath("out.pgm");
    const CliRun get = runCli({"--port", QString::fromStdString(sim.path()), "get-program", out});
    EXPECT_EQ(get.exitCode, 1) << get.err;
    EXPECT_EQ(get.out, "GET USER PROGRAM...\nGET USER PROGRAM FAILED.\n");
    EXPECT_NE(get.err.find("warning: Cannot communicate with 41700."), std::string::npos) << get.err;
    EXPECT_FALSE(QFile::exists(out));
}

}  // namespace
}  // namespace vrn::test
