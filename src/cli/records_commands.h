#pragma once

#include <string>
#include <vector>

namespace vrn::cli {

struct Session;

// get-records COUNT FILE.txt [--delimiter space|comma|tab]: the newest records into a text file.
int runGetRecords(Session& session, const std::vector<std::string>& args);
// erase-records: erases the instrument's record memory (only with --yes).
int runEraseRecords(Session& session, const std::vector<std::string>& args);

}  // namespace vrn::cli
