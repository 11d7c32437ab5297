#include "core/link/trace.h"

#include <algorithm>
#include <cstdio>

namespace vrn {
namespace {

std::string timeField(int64_t us) {
    char text[32];
    std::snprintf(text, sizeof text, "%12lld ", static_cast<long long>(us));
    return text;
}

const std::string kBlankTime(13, ' ');

// "43 4D 44" padded to a whole line's width, then the printable text.
std::string bytesLine(const uint8_t* bytes, size_t n) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string hex;
    std::string printable;
    for (size_t k = 0; k < n; ++k) {
        hex += kHex[bytes[k] >> 4];
        hex += kHex[bytes[k] & 0x0F];
        hex += ' ';
        printable += bytes[k] >= 0x20 && bytes[k] <= 0x7E ? static_cast<char>(bytes[k]) : '.';
    }
    hex.resize(TraceFormatter::kBytesPerLine * 3, ' ');
    return hex + " " + printable;
}

const char* statusText(ReadStatus status) {
    switch (status) {
    case ReadStatus::Complete:
        return "complete";
    case ReadStatus::Timeout:
        return "time-out";
    case ReadStatus::HangUp:
        return "hang-up";
    case ReadStatus::Error:
        return "error";
    }
    return "error";
}

}  // namespace

void TraceFormatter::line(int64_t us, const std::string& what) {
    out_ += timeField(us);
    out_ += what;
    out_ += '\n';
}

void TraceFormatter::flushRun() {
    if (run_.empty()) return;
    char head[48];
    std::snprintf(head, sizeof head, "%-5s %5zu  ", runIsWrite_ ? "write" : "read", run_.size());
    for (size_t at = 0; at < run_.size(); at += kBytesPerLine) {
        const size_t n = std::min(kBytesPerLine, run_.size() - at);
        out_ += at == 0 ? timeField(runStartUs_) + head : kBlankTime + std::string(13, ' ');
        out_ += bytesLine(run_.data() + at, n);
        if (at == 0 && runEndUs_ != runStartUs_) {
            out_.append(kBytesPerLine - n, ' ');
            out_ += "  (to " + std::to_string(runEndUs_) + ")";
        }
        out_ += '\n';
    }
    run_.clear();
}

void TraceFormatter::add(const TraceEvent& e) {
    using Kind = TraceEvent::Kind;
    const bool carriesBytes = (e.kind == Kind::Write || e.kind == Kind::Read) && !e.bytes.empty();
    if (carriesBytes) {
        const bool isWrite = e.kind == Kind::Write;
        if (!run_.empty() && runIsWrite_ != isWrite) flushRun();
        if (run_.empty()) {
            runIsWrite_ = isWrite;
            runStartUs_ = e.us;
        }
        runEndUs_ = e.us;
        run_.insert(run_.end(), e.bytes.begin(), e.bytes.end());
        if (e.kind == Kind::Write || e.status == ReadStatus::Complete) return;
    }
    flushRun();
    switch (e.kind) {
    case Kind::Open:
        line(e.us, "open \"" + e.text + "\": " + (e.value != 0 ? "opened" : "FAILED"));
        break;
    case Kind::Setting:
        line(e.us, "set " + e.text);
        break;
    case Kind::Purge:
        line(e.us, "purge");
        break;
    case Kind::Write:
        break;
    case Kind::Read:
        if (e.status != ReadStatus::Complete)
            line(e.us, std::string("read ") + statusText(e.status) + ": " + std::to_string(e.bytes.size()) +
                           " of " + std::to_string(e.value) + " bytes");
        break;
    case Kind::Pause:
        line(e.us, "pause " + std::to_string(e.value) + " ms");
        break;
    case Kind::Reset:
        line(e.us, "reset device");
        break;
    case Kind::Close:
        line(e.us, "close");
        break;
    }
}

void TraceFormatter::finish() {
    flushRun();
}

std::string TraceFormatter::take() {
    std::string text;
    text.swap(out_);
    return text;
}

}  // namespace vrn
