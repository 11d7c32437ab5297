#include "cli_process.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

namespace vrn::test {

CliRun runCli(const QStringList& args) {
    QProcess p;
    return runProcess(p, QStringLiteral(VRN_CLI_PROGRAM), args);
}

CliRun runProcess(QProcess& p, const QString& program, const QStringList& args) {
    QElapsedTimer t;
    t.start();
    p.start(program, args);
    CliRun r;
    if (!p.waitForFinished(kCliRunLimitMs)) {
        p.kill();
        p.waitForFinished();
        r.err = "vrncomm-cli did not finish";
        return r;
    }
    r.ms = t.elapsed();
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput().toStdString();
    r.err = p.readAllStandardError().toStdString();
    return r;
}

CliRun runCliOn(const std::string& port, QStringList args) {
    args.prepend(QString::fromStdString(port));
    args.prepend(QStringLiteral("--port"));
    return runCli(args);
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace vrn::test
