#pragma once

#include <string>
#include <vector>

#include "cli/command_args.h"

namespace vrn::cli {

struct Session;

// collect ARCHIVE [--station NAME] [--count N] [--utc-offset +HH:MM | --new-utc-offset +HH:MM]: downloads
// records into the record archive, adding only the ones it does not hold yet.
int runCollect(Session& session, const CollectArgs& args);
// export ARCHIVE --station NAME [--from T] [--to T] [--delimiter ...] OUT.txt: a station's records
// from the archive as the record text file Get Records writes.
int runExport(Session& session, const ExportArgs& args);

}  // namespace vrn::cli
