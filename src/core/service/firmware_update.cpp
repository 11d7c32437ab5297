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

// A byte at a time.
class ByteReader : public WaitReader {
public:
    std::span<uint8_t> room() override { return {&byte_, 1}; }

protected:
    uint8_t byte_ = 0;
};

// Phase 2: three "*" in a row. The last byte is kept across reads that bring nothing, so a single
// "*" followed by silence counts too.
class LoaderStars final : public ByteReader {
public:
    WaitStep took(std::span<const uint8_t> bytes) override {
        if (bytes.size() == 1) last_ = bytes[0];
        count_ = last_ == Exchange::kAck ? count_ + 1 : 0;
        return count_ >= kLoaderStars ? WaitStep::Over : WaitStep::GoesOn;
    }

private:
    uint8_t last_ = 0;
    int count_ = 0;
};

// Phases 4 and 5: each record after the "*" for the one before, until S9 is out.
class RecordFeeder final : public ByteReader {
public:
    RecordFeeder(Exchange& ex, const FirmwareImage& image) : ex_(ex), image_(image) {
        writeRecord(ex_, image_.records[next_]);
    }
    WaitStep took(std::span<const uint8_t> bytes) override {
        if (bytes.size() != 1 || bytes[0] != Exchange::kAck) return WaitStep::GoesOn;
        ex_.host().setProgress(firmwareProgress(image_.endOffsets[next_], image_.fileLength));
        ++next_;
        writeRecord(ex_, image_.records[next_]);
        return next_ + 1 == image_.records.size() ? WaitStep::Over : WaitStep::Progress;
    }

private:
    Exchange& ex_;
    const FirmwareImage& image_;
    size_t next_ = 0;
};

// The loader's and the records' waits: bounded in the PC clock's whole seconds from the loader's
// command on, as the instrument's own loader counts them.
WaitRule firmwareWait(int64_t sentAt, int64_t seconds, bool pumpFirst) {
    return {.wallSeconds = seconds, .wallFrom = sentAt, .pumpFirst = pumpFirst, .beeps = false};
}

// A phase that failed: its box, or at the abort a line, and the outcome with what said it.
Outcome cancelled(Host& host, const Outcome& failed, const char* box) {
    if (failed.kind() == Outcome::Kind::Aborted) {
        host.appendLine(kFwCancelledLine);
        return failed.because(kFwCancelledLine);
    }
    warn(host, box);
    return failed.because(box);
}

// Phase 3: the erase, then the records.
Outcome programRecords(Exchange& ex, const FirmwareImage& image, int64_t sentAt) {
    Host& host = ex.host();
    host.appendLine("DO NOT REMOVE POWER FROM 41700!");
    host.appendLine("DO NOT STOP OR INTERRUPT THIS PROCESS!");
    host.appendLine("ERASING flash memory...");
    ex.SendCommand("FLS");
    host.clock().sleepMs(kEraseMs);
    host.appendLine("PROGRAMMING flash memory...");
    RecordFeeder feeder(ex, image);
    return ex.wait(firmwareWait(sentAt, kProgramSeconds, true), feeder);
}

}  // namespace

Outcome updateFirmware(Exchange& ex, FileStore& files, const FirmwareRequest& request,
                       const FirmwareBackup& backup) {
    Host& host = ex.host();
    std::string error;
    const auto bytes = files.readFile(request.path, kMaxFirmwareFileBytes + 1, error);
    if (!bytes || bytes->size() > kMaxFirmwareFileBytes) {
        warn(host, kFwCannotOpenText);
        return Outcome::refused(kFwCannotOpenText);
    }
    host.setProgressMax(100);
    host.setProgress(0);
    FirmwareImage image;
    const FirmwareFileCheck check = readFirmwareFile(*bytes, image);
    if (check.problem != FirmwareFileProblem::None) {
        const std::string message = firmwareFileMessage(check);
        warn(host, message);
        return Outcome::refused(message);
    }
    // The line saying where the backup went is written again after the area is cleared, so it
    // stays in sight for the whole update.
    std::string backupLine;
    if (request.backupFirst) {
        const Result<std::string> group =
            backup ? backup(request.path) : Result<std::string>(Outcome::failed());
        if (!group.ok()) {
            warn(host, kFwBackupFailedText);
            return group.because(kFwBackupFailedText);
        }
        backupLine = kFwBackupLine + group.value();
        host.appendLine(backupLine);
    }

    ex.SendCommand(" \r");
    if (const Outcome woke = ex.WaitForByte('C', kWakeSeconds); !woke.ok())
        return cancelled(host, woke, kFwNoWakeText);
    if (!confirmOverwrite(host, kFwConfirmText)) {
        host.appendLine(kFwCancelledLine);
        return Outcome::refused(kFwCancelledLine);
    }
    host.clearMessages();
    if (!backupLine.empty()) host.appendLine(backupLine);
    host.setStatusText(request.statusText);

    const int64_t sentAt = host.clock().wallSeconds();
    ex.SendCommand("CMD980\r");
    LoaderStars stars;
    if (const Outcome loader = ex.wait(firmwareWait(sentAt, kLoaderSeconds, false), stars); !loader.ok())
        return cancelled(host, loader, kFwNoLoaderText);

    WaitCursor hourglass(host);
    if (const Outcome programmed = programRecords(ex, image, sentAt); !programmed.ok()) {
        host.setProgress(0);
        return cancelled(host, programmed, kFwTimeoutText);
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
    return Outcome::done();
}

Outcome FirmwareUpdate1(Exchange& ex, FileStore& files, const FirmwareBackup& backup,
                        std::string statusText) {
    Host& host = ex.host();
    if (!ex.port().isOpen()) {
        warn(host, kFwPortClosedText);
        return Outcome::portGone(kFwPortClosedText);
    }
    FileDialogSpec spec;
    spec.filter = kFirmwareFilter;
    spec.defaultExt = kFirmwareExt;
    spec.mustExist = true;
    FirmwareRequest request;
    request.backupFirst = true;
    const auto path = host.openFileNameWithCheckBox(spec, kBackupBoxText, request.backupFirst);
    if (!path) return Outcome::refused();
    request.path = *path;
    request.statusText = std::move(statusText);
    return updateFirmware(ex, files, request, backup);
}

}  // namespace vrn::service
