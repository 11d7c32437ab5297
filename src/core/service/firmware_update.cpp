#include "core/service/firmware_update.h"

#include <array>

#include "core/io/file_store.h"
#include "core/link/clock.h"
#include "core/link/exchange.h"
#include "core/link/host.h"
#include "core/link/usb_port.h"
#include "core/service/srecord_file.h"

namespace vrn::service {
namespace {

void writeRecord(Exchange& ex, const std::string& record) {
    std::string line = record;
    line.push_back('\n');
    ex.port().write({reinterpret_cast<const uint8_t*>(line.data()), line.size()});
}

// Phase 2: three "*" in a row. The last byte is kept across reads that bring nothing, so a single
// "*" followed by silence counts too.
bool waitForLoader(Exchange& ex, int64_t sentAt) {
    Host& host = ex.host();
    uint8_t last = 0;
    int count = 0;
    for (;;) {
        uint8_t byte = 0;
        if (ex.port().read({&byte, 1}).count == 1) last = byte;
        count = last == Exchange::kAck ? count + 1 : 0;
        if (count >= kLoaderStars) return true;
        if (!ex.port().isOpen()) return false;
        host.pump();
        if (host.clock().wallSeconds() - sentAt > kLoaderSeconds) return false;
    }
}

// Phases 3 to 5: erase, then each record after the "*" for the one before, until S9 is out.
bool programRecords(Exchange& ex, const FirmwareImage& image, int64_t sentAt) {
    Host& host = ex.host();
    host.appendLine("DO NOT REMOVE POWER FROM 41700!");
    host.appendLine("DO NOT STOP OR INTERRUPT THIS PROCESS!");
    host.appendLine("ERASING flash memory...");
    ex.SendCommand("FLS");
    host.clock().sleepMs(kEraseMs);
    host.appendLine("PROGRAMMING flash memory...");
    size_t next = 0;
    writeRecord(ex, image.records[next]);
    for (;;) {
        host.pump();
        if (!ex.port().isOpen() || host.clock().wallSeconds() - sentAt > kProgramSeconds) return false;
        uint8_t byte = 0;
        if (ex.port().read({&byte, 1}).count != 1 || byte != Exchange::kAck) continue;
        host.setProgress(firmwareProgress(image.endOffsets[next], image.fileLength));
        ++next;
        writeRecord(ex, image.records[next]);
        if (next + 1 == image.records.size()) return true;
    }
}

}  // namespace

FirmwareOutcome updateFirmware(Exchange& ex, FileStore& files, const FirmwareRequest& request) {
    Host& host = ex.host();
    std::string error;
    const auto bytes = files.readFile(request.path, kMaxFirmwareFileBytes + 1, error);
    if (!bytes || bytes->size() > kMaxFirmwareFileBytes) {
        warn(host, kFwCannotOpenText);
        return FirmwareOutcome::Refused;
    }
    host.setProgressMax(100);
    host.setProgress(0);
    FirmwareImage image;
    const FirmwareFileCheck check = readFirmwareFile(*bytes, image);
    if (check.problem != FirmwareFileProblem::None) {
        warn(host, firmwareFileMessage(check));
        return FirmwareOutcome::Refused;
    }
    // The line saying where the backup went is written again after the area is cleared, so it
    // stays in sight for the whole update.
    std::string backupLine;
    if (request.backupFirst) {
        const auto group = request.backup ? request.backup(request.path) : std::nullopt;
        if (!group) {
            warn(host, kFwBackupFailedText);
            return FirmwareOutcome::NoContact;
        }
        backupLine = kFwBackupLine + *group;
        host.appendLine(backupLine);
    }

    ex.SendCommand(" \r");
    if (!ex.WaitForByte('C', kWakeSeconds).ok()) {
        warn(host, kFwNoWakeText);
        return FirmwareOutcome::NoContact;
    }
    if (!confirmOverwrite(host, kFwConfirmText)) {
        host.appendLine(kFwCancelledLine);
        return FirmwareOutcome::Cancelled;
    }
    host.clearMessages();
    if (!backupLine.empty()) host.appendLine(backupLine);
    host.setStatusText(request.statusText);

    const int64_t sentAt = host.clock().wallSeconds();
    ex.SendCommand("CMD980\r");
    if (!waitForLoader(ex, sentAt)) {
        warn(host, kFwNoLoaderText);
        return FirmwareOutcome::Failed;
    }

    WaitCursor hourglass(host);
    if (!programRecords(ex, image, sentAt)) {
        host.setProgress(0);
        warn(host, kFwTimeoutText);
        return FirmwareOutcome::Failed;
    }
    host.clock().sleepMs(kFinalPauseMs);
    std::array<uint8_t, kFinalRead> reply{};
    const size_t count = ex.port().read(reply).count;
    if (count == 0) {
        host.appendLine("NO REPLY from 41700");
    } else {
        host.appendLine(std::string(reply.begin(), reply.begin() + static_cast<std::ptrdiff_t>(count)));
    }
    host.appendLine("FINISHED FIRMWARE UPDATE.");
    host.setProgress(0);
    return FirmwareOutcome::Finished;
}

FirmwareOutcome FirmwareUpdate1(Exchange& ex, FileStore& files, FirmwareBackup backup,
                                std::string statusText) {
    Host& host = ex.host();
    if (!ex.port().isOpen()) {
        warn(host, kFwPortClosedText);
        return FirmwareOutcome::Refused;
    }
    FileDialogSpec spec;
    spec.filter = kFirmwareFilter;
    spec.defaultExt = kFirmwareExt;
    spec.mustExist = true;
    FirmwareRequest request;
    request.backupFirst = true;
    const auto path = host.openFileNameWithCheckBox(spec, kBackupBoxText, request.backupFirst);
    if (!path) return FirmwareOutcome::Cancelled;
    request.path = *path;
    request.backup = std::move(backup);
    request.statusText = std::move(statusText);
    return updateFirmware(ex, files, request);
}

}  // namespace vrn::service
