#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <string>

namespace vrn::test {

// One run of vrncomm-cli as a user runs it: a separate process, real time.
struct CliRun {
    int exitCode = -1;  // -1 when it crashed or had to be killed
    std::string out;
    std::string err;
    qint64 ms = 0;  // wall time of the whole process
};

// How long one run may take before it is killed and the test fails.
inline constexpr int kCliRunLimitMs = 30000;

CliRun runCli(const QStringList& args);
// Starts PROGRAM with ARGS on a process already set up (environment, child set-up) and collects the
// run as runCli does.
CliRun runProcess(QProcess& p, const QString& program, const QStringList& args);
// The same on the given port: --port PORT ARGS.
CliRun runCliOn(const std::string& port, QStringList args);

// A whole file's bytes (empty when it cannot be read).
QByteArray readAll(const QString& path);

}  // namespace vrn::test
