#include "cli/terminal_host.h"

#include <algorithm>
#include <ostream>

#include "core/link/clock.h"

namespace vrn::cli {

TerminalHost::TerminalHost(std::ostream& out, std::ostream& err, Clock& clock, Options options)
    : out_(out), err_(err), clock_(clock), options_(options) {
    timer_.start(clock_.nowMs());
}

void TerminalHost::appendLine(std::string_view line) {
    if (options_.quiet && !messagesAreResult_) return;
    result(line);
}

void TerminalHost::appendText(std::string_view text) {
    if (options_.quiet && !messagesAreResult_) return;
    out_ << text << std::flush;
}

void TerminalHost::appendAdvice(std::string_view line) {
    endProgressLine();
    err_ << line << '\n' << std::flush;
}

void TerminalHost::info(std::string_view line) {
    appendLine(line);
}

void TerminalHost::result(std::string_view line) {
    endProgressLine();
    out_ << line << '\n' << std::flush;
}

void TerminalHost::error(std::string_view text) {
    endProgressLine();
    err_ << "error: " << oneLine(text) << '\n' << std::flush;
}

void TerminalHost::setProgressMax(int max) {
    progressMax_ = std::max(1, max);
}

void TerminalHost::setProgress(int position) {
    if (!options_.progressBar || options_.quiet) return;
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
        err_ << "warning: " << oneLine(text) << '\n' << std::flush;
        return MsgResult::Ok;
    }
    if (options_.yes) {
        if (!options_.quiet) err_ << oneLine(text) << " Yes (--yes)\n" << std::flush;
        return MsgResult::Yes;
    }
    refused_ = true;
    err_ << "error: " << oneLine(text) << " Refused: run again with --yes to answer Yes.\n" << std::flush;
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
