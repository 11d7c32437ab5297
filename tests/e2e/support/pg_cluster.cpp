#include "pg_cluster.h"

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <algorithm>

namespace vrn::test {
namespace {

constexpr const char* kUser = "vrn";

}  // namespace

std::string PgCluster::binDir() {
    // Debian keeps the server's programs out of PATH, one folder per major version; the newest wins.
    QStringList versions =
        QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(versions.begin(), versions.end(),
              [](const QString& a, const QString& b) { return a.toInt() > b.toInt(); });
    for (const QString& v : versions) {
        const QString bin = QStringLiteral("/usr/lib/postgresql/%1/bin").arg(v);
        if (QFileInfo(bin + QStringLiteral("/initdb")).isExecutable() &&
            QFileInfo(bin + QStringLiteral("/pg_ctl")).isExecutable())
            return bin.toStdString();
    }
    return {};
}

PgCluster::PgCluster(bool durable) {
    bin_ = binDir();
    if (bin_.empty()) {
        error_ = "PostgreSQL's server (initdb, pg_ctl) is not installed";
        return;
    }
    if (!dir_.isValid()) {
        error_ = "no temporary folder";
        return;
    }
    asPostgresUser_ = ::geteuid() == 0;
    // The server's user makes its data folder and socket here.
    QFile::setPermissions(dir_.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                              QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther |
                              QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup);
    const QString data = dir_.filePath(QStringLiteral("data"));
    if (!runTool("initdb",
                 {QStringLiteral("-D"), data, QStringLiteral("-U"), QString::fromLatin1(kUser),
                  QStringLiteral("-A"), QStringLiteral("trust"), QStringLiteral("--no-sync"),
                  QStringLiteral("-E"), QStringLiteral("UTF8")},
                 kInitWaitMs))
        return;
    const QString options = QStringLiteral("-k %1 -c listen_addresses='' -c max_connections=60%2")
                                .arg(dir_.path(), durable ? QString() : QStringLiteral(" -c fsync=off"));
    running_ = runTool("pg_ctl",
                       {QStringLiteral("-D"), data, QStringLiteral("-o"), options, QStringLiteral("-l"),
                        dir_.filePath(QStringLiteral("server.log")), QStringLiteral("-w"),
                        QStringLiteral("-t"), QString::number(kStartWaitSeconds), QStringLiteral("start")},
                       (kStartWaitSeconds + 5) * 1000);
    if (!running_) {
        QFile log(dir_.filePath(QStringLiteral("server.log")));
        if (log.open(QIODevice::ReadOnly)) error_ += QByteArray("\n" + log.readAll()).toStdString();
    }
}

PgCluster::~PgCluster() {
    if (!running_) return;
    runTool("pg_ctl",
            {QStringLiteral("-D"), dir_.filePath(QStringLiteral("data")), QStringLiteral("-m"),
             QStringLiteral("immediate"), QStringLiteral("-w"), QStringLiteral("-t"),
             QString::number(kStartWaitSeconds), QStringLiteral("stop")},
            (kStartWaitSeconds + 5) * 1000);
}

bool PgCluster::restart() {
    running_ = runTool("pg_ctl",
                       {QStringLiteral("-D"), dir_.filePath(QStringLiteral("data")), QStringLiteral("-m"),
                        QStringLiteral("immediate"), QStringLiteral("-l"),
                        dir_.filePath(QStringLiteral("server.log")), QStringLiteral("-w"),
                        QStringLiteral("-t"), QString::number(kStartWaitSeconds), QStringLiteral("restart")},
                       (2 * kStartWaitSeconds + 5) * 1000);
    return running_;
}

std::string PgCluster::url() const {
    return "postgresql:///postgres?host=" + dir_.path().toStdString() + "&user=" + kUser;
}

bool PgCluster::runTool(const std::string& tool, const QStringList& args, int waitMs) {
    const QString program = QString::fromStdString(bin_ + "/" + tool);
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    if (asPostgresUser_) {
        p.start(QStringLiteral("runuser"),
                QStringList{QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--"), program} +
                    args);
    } else {
        p.start(program, args);
    }
    if (!p.waitForFinished(waitMs)) {
        p.kill();
        p.waitForFinished();
        error_ = tool + " did not finish within " + std::to_string(waitMs / 1000) + " s";
        return false;
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        error_ = tool + " failed: " + p.readAll().toStdString();
        return false;
    }
    return true;
}

}  // namespace vrn::test
