#include "cli/result_outcomes.h"

namespace vrn::cli {

LogMark markOf(const MessageLog& log) {
    return {log.warnings.size(), log.messages.size()};
}

std::string reasonSince(const MessageLog& log, LogMark mark) {
    if (log.warnings.size() > mark.warnings) return log.warnings[mark.warnings];
    if (log.messages.size() > mark.messages) return log.messages.back();
    return {};
}

Outcome outcomeOf(const records::RetrievalResult& result, const std::string& said) {
    using records::RetrievalOutcome;
    // How the download itself ended says most: the port lost under it, the instrument silent.
    if (!result.link.ok()) return Outcome(result.link).orReason(said);
    switch (result.outcome) {
    case RetrievalOutcome::Finished:
        return Outcome::done();
    case RetrievalOutcome::PortClosed:
        return Outcome::portGone(said);
    case RetrievalOutcome::TooMany:
    case RetrievalOutcome::Cancelled:
        return Outcome::refused(said);
    case RetrievalOutcome::FormatFailed:
    case RetrievalOutcome::NoMemory:
    case RetrievalOutcome::TimedOut:
    case RetrievalOutcome::FileFailed:
    case RetrievalOutcome::Short:
        break;
    }
    return Outcome::failed(said);
}

Outcome outcomeOf(service::CalOutcome result, const std::string& said) {
    switch (result) {
    case service::CalOutcome::Finished:
        return Outcome::done();
    case service::CalOutcome::Declined:
        return Outcome::refused(said);
    case service::CalOutcome::NoResponse:
        break;
    }
    return Outcome::failed(said);
}

Outcome outcomeOf(service::FirmwareOutcome result, const std::string& said) {
    switch (result) {
    case service::FirmwareOutcome::Finished:
        return Outcome::done();
    case service::FirmwareOutcome::Cancelled:
    case service::FirmwareOutcome::Refused:
        return Outcome::refused(said);
    case service::FirmwareOutcome::NoContact:
    case service::FirmwareOutcome::Failed:
        break;
    }
    return Outcome::failed(said);
}

Outcome outcomeOf(workspace::BackupOutcome result, const std::string& said) {
    return result == workspace::BackupOutcome::Written ? Outcome::done() : Outcome::failed(said);
}

Outcome diagnosticOutcome(bool done, const std::string& said) {
    return done ? Outcome::done() : Outcome::refused(said);
}

Outcome portNotOpened(const std::string& said) {
    return Outcome::failed(said);
}

}  // namespace vrn::cli
