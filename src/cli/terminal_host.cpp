#include "cli/terminal_host.h"

#include <algorithm>
#include <ostream>

#include "core/link/clock.h"

namespace vrn::cli {

TerminalHost::TerminalHost(std::ostream& out, std::ostream& err, Clock& clock, Options options,
                           MessageLog& log)
    : out_(&out), err_(err), clock_(clock), options_(options), log_(log) {
    timer_.start(clock_.nowMs());
}

void TerminalHost::appendLine(std::string_view line) {
    log_.messages.emplace_back(line);
    if (options_.quiet && !messagesAreResult_) return;
    result(line);
}

void TerminalHost::appendText(std::string_view text) {
    if (log_.messages.empty()) log_.messages.emplace_back();
    log_.messages.back() += text;
    if (options_.quiet && !messagesAreResult_) return;
    *out_ << text << std::flush;
}

void TerminalHost::appendAdvice(std::string_view line) {
    log_.warnings.emplace_back(line);
    endProgressLine();
    err_ << line << '\n' << std::flush;
}

void TerminalHost::info(std::string_view line) {
    appendLine(line);
}

void TerminalHost::dataOnStdout() {
    out_ = &err_;
}

void TerminalHost::messagesAreTheResult() {
    messagesAreResult_ = true;
    resultLinesFrom_ = log_.messages.size();
}

std::vector<std::string> TerminalHost::resultLines() const {
    if (!messagesAreResult_) return {};
    return {log_.messages.begin() + static_cast<std::ptrdiff_t>(resultLinesFrom_), log_.messages.end()};
}

void TerminalHost::result(std::string_view line) {
    endProgressLine();
    *out_ << line << '\n' << std::flush;
}

void TerminalHost::error(std::string_view text) {
    log_.errors.push_back(oneLine(text));
    endProgressLine();
    err_ << "error: " << log_.errors.back() << '\n' << std::flush;
}

void TerminalHost::setProgressMax(int max) {
    progressMax_ = std::max(kUnknownTotal, max);
}

void TerminalHost::setProgress(int position) {
    // A bar whose total is not known would only say 100 % from the start.
    if (!options_.progressBar || options_.quiet || progressMax_ == kUnknownTotal) return;
    if (position <= 0) {
        endProgressLine();
        return;
    }
    constexpr int kWidth = 40;
    const int clamped = std::clamp(position, 0, progressMax_);
    // A terminal needs no more than about ten pictures a second; the end is always drawn.
    const int64_t now = clock_.nowMs();
    if (progressShown_ && clamped < progressMax_ && now - lastDrawMs_ < kProgressRedrawMs) return;
    lastDrawMs_ = now;
    const int filled = clamped * kWidth / progressMax_;
    err_ << "\r[" << std::string(static_cast<size_t>(filled), '#')
         << std::string(static_cast<size_t>(kWidth - filled), '.') << "] " << clamped * 100 / progressMax_
         << "%" << std::flush;
    progressShown_ = true;
}

void TerminalHost::endProgressLine() {
    if (!progressShown_) return;
    err_ << "\r\033[K" << std::flush;
    progressShown_ = false;
}

MsgResult TerminalHost::MyMessage(std::string_view text, MsgButtons buttons, MsgKind) {
    endProgressLine();
    if (buttons == MsgButtons::Ok) {
        log_.warnings.push_back(oneLine(text));
        err_ << "warning: " << log_.warnings.back() << '\n' << std::flush;
        return MsgResult::Ok;
    }
    if (options_.yes) {
        // A question answered is no warning: it joins the message lines.
        log_.messages.push_back(oneLine(text) + " Yes (--yes)");
        if (!options_.quiet) err_ << log_.messages.back() << '\n' << std::flush;
        return MsgResult::Yes;
    }
    refused_ = true;
    log_.errors.push_back(oneLine(text) + " Refused: run again with --yes to answer Yes.");
    err_ << "error: " << log_.errors.back() << '\n' << std::flush;
    return MsgResult::No;
}

void TerminalHost::pump() {
    timer_.catchUp(clock_.nowMs());
}

std::string oneLine(std::string_view text) {
    std::string line;
    for (char c : text) {
        if (c == '\n') {
            if (!line.empty() && line.back() != ' ') line.push_back(' ');
        } else {
            line.push_back(c);
        }
    }
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line;
}

}  // namespace vrn::cli
