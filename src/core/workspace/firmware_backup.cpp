#include "core/workspace/firmware_backup.h"

#include <cstdio>

#include "core/link/clock.h"
#include "core/link/exchange.h"
#include "core/program/program_model.h"
#include "core/program/program_transfer.h"
#include "core/screens/offscreen_screens.h"
#include "core/screens/screen_transfer.h"
#include "core/setup/setup_model.h"
#include "core/setup/setup_transfer.h"
#include "core/workspace/whole_transfer.h"

namespace vrn::workspace {

std::string firmwareBackupPath(const std::string& firmwarePath, Clock& clock) {
    const size_t slash = firmwarePath.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "" : firmwarePath.substr(0, slash + 1);
    const LocalDateTime t = clock.localNow();
    char name[64];
    std::snprintf(name, sizeof name, "41700 backup %04d-%02d-%02d %02d%02d%02d.ssp", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return folder + name;
}

Outcome backupInstrument(Exchange& ex, FileStore& files, const std::string& groupPath,
                         const PictureEncoder& encode) {
    Host& host = ex.host();
    setup::SetupModel setup;
    // The instrument's own clock is kept too, not the PC's.
    setup.setUsePcTime(false);
    screens::OffscreenScreens screenSet(host);
    screenSet.editor.clearAll();
    ProgramModel program;
    setup::SetupTransfer setupTransfer(ex, setup);
    screens::ScreenTransfer screenTransfer(ex, screenSet.display, screenSet.editor);
    program::ProgramTransfer programTransfer(ex, program);
    Transfers transfers{setupTransfer, screenTransfer, programTransfer};
    if (Outcome got = getAll(transfers, {}); !got.ok()) return got;
    Workspace backup{setup, screenSet.editor, program, {}};
    return saveGroupFiles(host, files, backup, groupPath, encode);
}

}  // namespace vrn::workspace
