#include "cli/records/records_commands.h"

#include "cli/outcome_exit.h"
#include "cli/output_target.h"
#include "cli/record_arguments.h"
#include "cli/result_outcomes.h"
#include "cli/session.h"
#include "core/io/file_store.h"
#include "core/records/record_erase.h"
#include "core/records/record_retrieval.h"
#include "core/setup/setup_model.h"
#include "core/setup/setup_transfer.h"

namespace vrn::cli {

int runGetRecords(Session& s, const GetRecordsArgs& args) {
    records::RetrievalOptions options;
    options.formatNotice = false;
    // Both were checked when the command line was read.
    parseDelimiter(args.delimiter, options.delimiter);
    options.allRecords = args.count == "all";
    if (!options.allRecords) parseCount(args.count, options.count);
    options.path = args.file;
    options.askBeforeShortSave = false;

    if (!claimStandardOutput(s, args.file)) return kExitUsage;
    // Found out before the port is opened, in the words the retrieval has for it.
    if (std::string error; !s.env.files.canCreate(args.file, error)) {
        s.host.MyMessage(records::recordFileProblem(args.file, error), MsgButtons::Ok, MsgKind::Warning);
        return kExitUsage;
    }
    if (!s.openLink()) return kExitFailed;
    setup::SetupModel model;
    setup::SetupTransfer transfer(*s.exchange, model);
    records::RecordRetrieval retrieval(transfer, s.env.files);
    const LogMark mark = markOf(s.result.log);
    const records::RetrievalResult result = retrieval.ButtonGetRecordsClick(options);
    s.result.data = {{"totalBytes", static_cast<qint64>(result.totalBytes)},
                     {"records", static_cast<qint64>(result.recordsWritten)}};
    keepFailure(outcomeOf(result, reasonSince(s.result.log, mark)), s.result);
    return retrievalExitStatus(result.outcome);
}

int runEraseRecords(Session& s) {
    if (!s.openLink()) return kExitFailed;
    switch (records::RecordErase(*s.exchange).EraseRecords1Click()) {
    case records::EraseOutcome::Erased:
        return kExitOk;
    case records::EraseOutcome::Declined:
        return kExitUsage;
    case records::EraseOutcome::TimedOut:
        keepFailure(Outcome::failed(records::RecordErase::kTimeoutLine), s.result);
        break;
    case records::EraseOutcome::Aborted:
        keepFailure(Outcome::aborted(records::RecordErase::kAbortedLine), s.result);
        break;
    }
    return kExitFailed;
}

}  // namespace vrn::cli
