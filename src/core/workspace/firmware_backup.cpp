#include "core/workspace/firmware_backup.h"

#include <cstdio>

#include "core/link/clock.h"
#include "core/link/exchange.h"
#include "core/setup/setup_transfer.h"

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

bool backupInstrument(Transfers& t, const PageControl& pages, FileStore& files, Workspace& ws,
                      const std::string& groupPath, const PictureEncoder& encode) {
    if (getAll(t, pages)) return false;
    return saveGroupFiles(t.setup.exchange().host(), files, ws, groupPath, encode).configurationWritten;
}

}  // namespace vrn::workspace
