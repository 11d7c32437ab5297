#include "sim_process.h"

#include <QProcess>
#include <QStringList>

namespace vrn::test {
namespace {
constexpr int kStopWaitMs = 3000;
}

std::string SimProcess::program() {
    return VRN_SIM_PROGRAM;
}

SimProcess::SimProcess(const std::vector<std::string>& options) : process_(std::make_unique<QProcess>()) {
    QStringList args;
    for (const std::string& option : options)
        args << QString::fromStdString(option);
    process_->start(QString::fromStdString(program()), args);
    if (!process_->waitForStarted(kStartWaitMs)) {
        startError_ = "cannot start " + program() + ": " + process_->errorString().toStdString();
        return;
    }
    // The first line on stdout is the pty's path.
    while (!process_->canReadLine()) {
        if (!process_->waitForReadyRead(kStartWaitMs)) {
            startError_ = "no pty path from " + program();
            return;
        }
    }
    path_ = process_->readLine().trimmed().toStdString();
}

SimProcess::~SimProcess() {
    stop();
}

std::string SimProcess::errorText() const {
    return startError_ + process_->readAllStandardError().toStdString();
}

bool SimProcess::running() const {
    return process_->state() != QProcess::NotRunning;
}

void SimProcess::kill() {
    process_->kill();
    process_->waitForFinished(kStopWaitMs);
}

int SimProcess::stop() {
    if (process_->state() == QProcess::NotRunning) return process_->exitCode();
    process_->terminate();
    if (process_->waitForFinished(kStopWaitMs) && process_->exitStatus() == QProcess::NormalExit)
        return process_->exitCode();
    process_->kill();
    process_->waitForFinished(kStopWaitMs);
    return -1;
}

}  // namespace vrn::test
