#pragma once

#include <string>
#include <vector>

#include "cli/command_args.h"

namespace vrn::cli {

struct Session;

// get-records COUNT FILE.txt [--delimiter space|comma|tab]: the newest records into a text file.
int runGetRecords(Session& session, const GetRecordsArgs& args);
// erase-records: erases the instrument's record memory (only with --yes).
int runEraseRecords(Session& session);

}  // namespace vrn::cli
