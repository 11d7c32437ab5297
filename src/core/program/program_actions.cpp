#include "core/program/program_actions.h"

#include <string>

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

bool run(ProgramTransfer& transfer, const char* closedText, const std::function<void()>& showProgramPage,
         bool (ProgramTransfer::*operation)()) {
    Exchange& ex = transfer.exchange();
    if (!ex.port().isOpen()) {
        warn(ex.host(), closedText);
        return true;
    }
    if (showProgramPage) showProgramPage();
    WaitCursor hourglass(ex.host());
    const bool failed = (transfer.*operation)();
    if (failed) MyCommError(ex.host());
    return failed;
}

}  // namespace

bool RxProgram(ProgramTransfer& transfer, const std::function<void()>& showProgramPage) {
    return run(transfer, "Cannot Get User Program.\nUSB port is closed.", showProgramPage,
               &ProgramTransfer::GetUserProgram);
}

bool TxUserProgram(ProgramTransfer& transfer, const std::function<void()>& showProgramPage) {
    return run(transfer, "Cannot Send User Program.\nUSB port is closed.", showProgramPage,
               &ProgramTransfer::SendUserProgram);
}

void OpenPgmFile(Host& host, FileStore& files, ProgramModel& program) {
    const auto path = host.openFileName(programDialog(false));
    if (!path) return;
    std::string error;
    const auto bytes = files.readFile(*path, kMaxProgramFileBytes, error);
    if (!bytes) {
        warn(host, "Cannot open file " + *path + "\n" + error);
        return;
    }
    // A tree the reader stopped in is kept as far as it went: the file was opened all the same.
    if (const auto invalid = readProgramFile(*bytes, program)) warn(host, *invalid);
    host.appendLine("OPENED USER PGM FILE " + *path);
}

void SavePgmFile(Host& host, FileStore& files, const ProgramModel& program) {
    const auto path = host.saveFileName(programDialog(true));
    if (!path) return;
    std::string error;
    if (!files.writeFile(*path, writeProgramFile(program), error)) {
        warn(host, "Cannot create file " + *path + "\n" + error);
        return;
    }
    host.appendLine("SAVED USER PGM FILE " + *path);
}

}  // namespace vrn::program
