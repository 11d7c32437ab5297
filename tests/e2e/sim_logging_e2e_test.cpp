// vrncomm-sim logs records on its own clock, --speed times faster than the PC's.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include "cli_process.h"
#include "sim_process.h"

namespace vrn::test {
namespace {

// The count on a record file's first line ("N RECORDS"), or -1.
int recordsIn(const QString& path) {
    const QByteArray file = readAll(path);
    const qsizetype blank = file.indexOf(' ');
    bool ok = false;
    const int n = file.left(blank).toInt(&ok);
    return ok && file.mid(blank).startsWith(" RECORDS\r\n") ? n : -1;
}

TEST(SimLoggingEndToEnd, AFasterClockLogsMoreRecordsBetweenTwoDownloads) {
    QTemporaryDir dir;
    const QString state = dir.filePath(QStringLiteral("state"));
    QDir().mkpath(state);
    QFile memory(state + QStringLiteral("/records.txt"));
    ASSERT_TRUE(memory.open(QIODevice::WriteOnly));
    memory.write("logged 20\nfirst 1767225600\ninterval 60\n");
    memory.close();
    // A record a minute of its clock: two and a half a second, few enough that the sixteen newest
    // records asked for after a download of all still reach back across those logged meanwhile.
    SimProcess sim({"--state", state.toStdString(), "--speed", "150"});
    ASSERT_FALSE(sim.path().empty()) << sim.errorText();

    const QString first = dir.filePath(QStringLiteral("first.txt"));
    const CliRun a = runCliOn(sim.path(), {"get-records", "all", first});
    ASSERT_EQ(a.exitCode, 0) << a.out << a.err;
    QThread::msleep(2000);
    const QString second = dir.filePath(QStringLiteral("second.txt"));
    const CliRun b = runCliOn(sim.path(), {"get-records", "all", second});
    ASSERT_EQ(b.exitCode, 0) << b.out << b.err;
    const int before = recordsIn(first);
    const int after = recordsIn(second);
    EXPECT_GE(before, 20);
    // Five records at least between the two; four leave margin for a busy machine.
    EXPECT_GE(after, before + 4) << before << " then " << after;
}

}  // namespace
}  // namespace vrn::test
