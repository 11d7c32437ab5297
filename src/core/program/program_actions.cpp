#include "core/program/program_actions.h"

#include <string>

#include "core/check/check_actions.h"
#include "core/io/file_store.h"
#include "core/link/exchange.h"
#include "core/link/host.h"
#include "core/link/usb_port.h"
#include "core/program/program_file.h"
#include "core/program/program_transfer.h"

namespace vrn::program {
namespace {

FileDialogSpec programDialog(bool save) {
    FileDialogSpec spec;
    spec.filter = kProgramFileFilter;
    spec.defaultExt = kProgramFileExt;
    spec.mustExist = !save;
    spec.overwritePrompt = save;
    return spec;
}

Outcome run(ProgramTransfer& transfer, const char* closedText, const std::function<void()>& showProgramPage,
            Outcome (ProgramTransfer::*operation)(), bool checkFirst) {
    Exchange& ex = transfer.exchange();
    if (!ex.port().isOpen()) {
        warn(ex.host(), closedText);
        return Outcome::portGone(closedText);
    }
    // The program alone is checked: the instrument's record format is not known here. A program
    // without its PGM END is refused by the send itself, with its own box, and asks nothing.
    if (checkFirst && transfer.program().store.hasPgmEnd() &&
        !check::confirmSendDespiteErrors(ex.host(), transfer.program().store, nullptr))
        return Outcome::refused();
    if (showProgramPage) showProgramPage();
    WaitCursor hourglass(ex.host());
    Outcome outcome = (transfer.*operation)();
    // A program at fault, or one refused before sending, has said why in its own box.
    if (!outcome.ok() && outcome.kind() != Outcome::Kind::ProgramAtFault &&
        outcome.kind() != Outcome::Kind::Refused)
        MyCommError(ex.host());
    return outcome;
}

}  // namespace

Outcome RxProgram(ProgramTransfer& transfer, const std::function<void()>& showProgramPage) {
    return run(transfer, "Cannot Get User Program.\nUSB port is closed.", showProgramPage,
               &ProgramTransfer::GetUserProgram, false);
}

Outcome TxUserProgram(ProgramTransfer& transfer, const std::function<void()>& showProgramPage) {
    return run(transfer, "Cannot Send User Program.\nUSB port is closed.", showProgramPage,
               &ProgramTransfer::SendUserProgram, true);
}

bool openPgmFileAt(Host& host, FileStore& files, ProgramModel& program, const std::string& path) {
    std::string error;
    const auto bytes = files.readFile(path, kMaxProgramFileBytes, error);
    if (!bytes) {
        warn(host, "Cannot open file " + path + "\n" + error);
        return false;
    }
    // A tree the reader stopped in is kept as far as it went: the file was opened all the same.
    if (const auto invalid = readProgramFile(*bytes, program)) warn(host, *invalid);
    host.appendLine("OPENED USER PGM FILE " + path);
    return true;
}

std::optional<std::string> OpenPgmFile(Host& host, FileStore& files, ProgramModel& program) {
    auto path = host.openFileName(programDialog(false));
    if (!path || !openPgmFileAt(host, files, program, *path)) return std::nullopt;
    return path;
}

std::optional<std::string> SavePgmFile(Host& host, FileStore& files, const ProgramModel& program) {
    auto path = host.saveFileName(programDialog(true));
    if (!path) return std::nullopt;
    std::string error;
    if (!files.writeFile(*path, writeProgramFile(program), error)) {
        warn(host, "Cannot create file " + *path + "\n" + error);
        return std::nullopt;
    }
    host.appendLine("SAVED USER PGM FILE " + *path);
    return path;
}

}  // namespace vrn::program
