// vrncomm-cli writing to what is not a regular file, against vrncomm-sim on a pty: a FIFO and a
// character device are written in place and stay what they are, "-" is standard output, and a
// folder is refused before the instrument hears anything.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>

#include "cli_process.h"
#include "fifo_reader.h"
#include "sim_process.h"

namespace vrn::test {
namespace {

mode_t typeOf(const QString& path) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? (info.st_mode & S_IFMT) : 0;
}

// What the simulator read, from its trace: the "read" lines.
int readsIn(const QByteArray& trace) {
    int reads = 0;
    for (const QByteArray& line : trace.split('\n'))
        reads += line.mid(13, 5) == "read " ? 1 : 0;
    return reads;
}

TEST(OutputTargetEndToEnd, DashIsStandardOutputAndHoldsOnlyTheData) {
    SimProcess sim;
    ASSERT_FALSE(sim.path().empty()) << sim.errorText();
    QTemporaryDir dir;
    const CliRun setup = runCliOn(sim.path(), {"get-setup", "-"});
    ASSERT_EQ(setup.exitCode, 0) << setup.err;
    EXPECT_EQ(setup.out.size(), 990U);
    EXPECT_NE(setup.err.find("INSTRUMENT TIME: "), std::string::npos) << setup.err;

    // Standard output's pipe by its name is the same: only the data on it.
    const CliRun named = runCliOn(sim.path(), {"get-setup", "/dev/stdout"});
    ASSERT_EQ(named.exitCode, 0) << named.err;
    EXPECT_EQ(named.out.size(), 990U);

    const CliRun records = runCliOn(sim.path(), {"get-records", "20", "-"});
    ASSERT_EQ(records.exitCode, 0) << records.err;
    EXPECT_TRUE(records.out.starts_with("20 RECORDS\r\n")) << records.out.substr(0, 100);
    EXPECT_NE(records.err.find("TOTAL BYTES: "), std::string::npos) << records.err;

    // Offline: the chart of those records as a PNG, through a pipe.
    const QString file = dir.filePath(QStringLiteral("day.txt"));
    ASSERT_EQ(runCliOn(sim.path(), {"get-records", "20", file}).exitCode, 0);
    const CliRun plot = runCli({"plot", file, "-"});
    ASSERT_EQ(plot.exitCode, 0) << plot.err;
    EXPECT_TRUE(plot.out.starts_with("\x89PNG")) << plot.out.substr(0, 8);

    const CliRun json = runCliOn(sim.path(), {"--json", "get-setup", "-"});
    EXPECT_EQ(json.exitCode, 2);
    EXPECT_NE(json.err.find("does not go with --json"), std::string::npos) << json.err;
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("day.txt")});
}

TEST(OutputTargetEndToEnd, AFifoAndADeviceAreWrittenInPlaceAndStayWhatTheyAre) {
    SimProcess sim;
    ASSERT_FALSE(sim.path().empty()) << sim.errorText();
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("screens.fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    FifoReader reader(QFile::encodeName(fifo).toStdString(), 1920, std::chrono::seconds(10));
    const CliRun screens = runCliOn(sim.path(), {"get-screens", fifo});
    EXPECT_EQ(reader.wait().size(), 1920U);
    ASSERT_EQ(screens.exitCode, 0) << screens.err;
    EXPECT_EQ(typeOf(fifo), S_IFIFO);

    // A null device of the test's own (root may make one; CI runs as root).
    const QString device = dir.filePath(QStringLiteral("null"));
    if (::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
        GTEST_SKIP() << "cannot make a device node here (not root)";
    const CliRun program = runCliOn(sim.path(), {"get-program", device});
    ASSERT_EQ(program.exitCode, 0) << program.err;
    EXPECT_EQ(typeOf(device), S_IFCHR) << "the device is still a device";
    EXPECT_EQ(QDir(dir.path())
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
                  .size(),
              2)
        << "nothing else beside them";
}

TEST(OutputTargetEndToEnd, AFolderOrAMissingFolderIsRefusedBeforeTheInstrumentIsAsked) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("sub"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString missing = dir.filePath(QStringLiteral("nowhere/g.ssp"));
    const struct {
        const char* name;
        QStringList args;
        const char* says;
    } rows[] = {
        {"get-records into a folder", {"get-records", "5", folder}, "It is a folder, not a file."},
        {"get-setup into a folder", {"get-setup", folder}, "It is a folder, not a file."},
        {"get-records into a missing folder",
         {"get-records", "5", dir.filePath(QStringLiteral("nowhere/r.txt"))},
         "No such file or directory"},
        {"get-all into a missing folder", {"get-all", missing}, "No such file or directory"},
    };
    const QString trace = dir.filePath(QStringLiteral("sim-trace.txt"));
    {
        // The trace shows what the simulator hears when a command is let through.
        SimProcess sim({"--trace", trace.toStdString()});
        ASSERT_FALSE(sim.path().empty()) << sim.errorText();
        ASSERT_EQ(runCliOn(sim.path(), {"get-setup", dir.filePath(QStringLiteral("ok.set"))}).exitCode, 0);
        EXPECT_EQ(sim.stop(), 0);
        EXPECT_GT(readsIn(readAll(trace)), 0);
    }
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        SimProcess sim({"--trace", trace.toStdString()});
        ASSERT_FALSE(sim.path().empty()) << sim.errorText();
        const CliRun run = runCliOn(sim.path(), row.args);
        EXPECT_EQ(run.exitCode, 2) << run.err;
        EXPECT_NE(run.err.find(row.says), std::string::npos) << run.err;
        EXPECT_EQ(sim.stop(), 0);
        EXPECT_EQ(readsIn(readAll(trace)), 0) << readAll(trace).left(500).toStdString();
        EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("nowhere"))));
        EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 0);
    }
}

}  // namespace
}  // namespace vrn::test
