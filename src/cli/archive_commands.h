#pragma once

#include <string>
#include <vector>

namespace vrn::cli {

struct Session;

// collect ARCHIVE [--station NAME] [--count N] [--utc-offset +HH:MM]: downloads records into the
// record archive, adding only the ones it does not hold yet.
int runCollect(Session& session, const std::vector<std::string>& args);
// export ARCHIVE --station NAME [--from T] [--to T] [--delimiter ...] OUT.txt: a station's records
// from the archive as the record text file Get Records writes.
int runExport(Session& session, const std::vector<std::string>& args);

}  // namespace vrn::cli
