#include "cli/records_commands.h"

#include "cli/record_arguments.h"
#include "cli/session.h"
#include "core/records/record_erase.h"
#include "core/records/record_retrieval.h"
#include "core/setup/setup_model.h"
#include "core/setup/setup_transfer.h"

namespace vrn::cli {

int runGetRecords(Session& s, const std::vector<std::string>& args) {
    records::RetrievalOptions options;
    options.formatNotice = false;
    std::vector<std::string> plain;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--delimiter") {
            if (i + 1 >= args.size() || !parseDelimiter(args[i + 1], options.delimiter)) {
                s.host.error("--delimiter takes space, comma or tab");
                return kExitUsage;
            }
            ++i;
        } else if (args[i].starts_with("-")) {
            s.host.error("unknown option " + args[i]);
            return kExitUsage;
        } else {
            plain.push_back(args[i]);
        }
    }
    if (plain.size() != 2) {
        s.host.error("get-records takes COUNT (or all) and FILE.txt");
        return kExitUsage;
    }
    if (plain[0] == "all") {
        options.allRecords = true;
    } else if (!parseCount(plain[0], options.count)) {
        s.host.error("COUNT must be all or a whole number from 1 to 999999999, not: " + plain[0]);
        return kExitUsage;
    }
    options.path = plain[1];
    options.askBeforeShortSave = false;

    if (!s.openLink()) return kExitFailed;
    setup::SetupModel model;
    setup::SetupTransfer transfer(*s.exchange, model);
    records::RecordRetrieval retrieval(transfer, s.env.files);
    const records::RetrievalResult result = retrieval.ButtonGetRecordsClick(options);
    s.result.data = {{"totalBytes", static_cast<qint64>(result.totalBytes)},
                     {"records", static_cast<qint64>(result.recordsWritten)}};
    return retrievalExitStatus(result.outcome);
}

int runEraseRecords(Session& s, const std::vector<std::string>& args) {
    if (!args.empty()) {
        s.host.error("erase-records takes no arguments");
        return kExitUsage;
    }
    if (!s.openLink()) return kExitFailed;
    switch (records::RecordErase(*s.exchange).EraseRecords1Click()) {
    case records::EraseOutcome::Erased:
        return kExitOk;
    case records::EraseOutcome::Declined:
        return kExitUsage;
    case records::EraseOutcome::TimedOut:
        break;
    }
    return kExitFailed;
}

}  // namespace vrn::cli
