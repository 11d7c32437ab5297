#include "sim/instrument.h"

#include <algorithm>
#include <cstdlib>

#include "core/link/clock.h"

namespace vrn::sim {

std::array<SimField, 25> SimSetup::defaultFields() {
    std::array<SimField, 25> f;
    for (size_t i = 0; i < f.size(); ++i) {
        char label[32];
        std::snprintf(label, sizeof label, "FIELD %02zu", i + 1);
        f[i].label = label;
    }
    return f;
}

Instrument::Instrument(Clock& clock) : clock_(clock) {}

void Instrument::registerCommand(int number, Handler handler) {
    handlers_[number] = std::move(handler);
}

void Instrument::receive(std::span<const uint8_t> bytes) {
    if (poweredOff()) return;
    int64_t at = std::max(lineInFreeUs_, clock_.nowUs());
    for (uint8_t b : bytes) {
        at += kByteTimeUs;
        lineInFreeUs_ = at;
        onByte(b, at);
    }
}

void Instrument::handOver(std::span<const uint8_t> bytes) {
    const int64_t at = nowUs();
    for (uint8_t b : bytes)
        onByte(b, at);
}

int64_t Instrument::nowUs() const {
    return byteUs_ ? *byteUs_ : clock_.nowUs();
}

void Instrument::onByte(uint8_t byte, int64_t now) {
    // Handlers that run for this byte answer from its arrival.
    const std::optional<int64_t> outer = byteUs_;
    byteUs_ = now;
    handleByte(byte, now);
    byteUs_ = outer;
}

void Instrument::handleByte(uint8_t byte, int64_t now) {
    if (blockWanted_ > 0 && now - lastByteUs_ > kBlockIdleUs) {
        blockWanted_ = 0;
        block_.clear();
        onBlock_ = nullptr;
    }
    lastByteUs_ = now;
    if (blockWanted_ > 0) {
        block_.push_back(byte);
        if (block_.size() == blockWanted_) {
            blockWanted_ = 0;
            std::vector<uint8_t> block;
            block.swap(block_);
            BlockHandler handler = std::move(onBlock_);
            onBlock_ = nullptr;
            ++blocksReceived;
            handler(*this, block);
        }
        return;
    }
    if (rawReader_) {
        // The reader may replace or clear itself while it runs.
        RawReader reader = rawReader_;
        if (reader(*this, byte)) return;
    }
    if (byte == '\r') {
        std::string line;
        line.swap(line_);
        dispatch(line);
        return;
    }
    if (byte == '\n') return;
    // A command line longer than any real one is noise: keep only its tail.
    if (line_.size() >= 256) line_.erase(0, 128);
    line_.push_back(static_cast<char>(byte));
}

CommandLine parseCommandLine(const std::string& text) {
    CommandLine cmd;
    cmd.text = text;
    // Noise before the command (a wake-up blank, stray bytes) is skipped.
    const size_t at = text.find("CMD");
    if (at == std::string::npos || at + 6 > text.size()) return cmd;
    int number = 0;
    for (size_t i = at + 3; i < at + 6; ++i) {
        if (text[i] < '0' || text[i] > '9') return cmd;
        number = number * 10 + (text[i] - '0');
    }
    size_t pos = at + 6;
    while (pos < text.size()) {
        while (pos < text.size() && text[pos] == ' ')
            ++pos;
        const size_t end = std::min(text.find(' ', pos), text.size());
        if (end > pos) cmd.args.push_back(text.substr(pos, end - pos));
        pos = end;
    }
    cmd.number = number;
    return cmd;
}

void Instrument::dispatch(const std::string& line) {
    const CommandLine cmd = parseCommandLine(line);
    if (cmd.number < 0) {
        if (!otherLine_) return;
        currentFault_ = faults.take(-1);
        otherLine_(*this, line);
        currentFault_ = {};
        return;
    }
    stream_.reset();
    commandLog.push_back(cmd.text.substr(cmd.text.find("CMD")));
    ++commandCounts[cmd.number];
    auto it = handlers_.find(cmd.number);
    if (it == handlers_.end()) return;
    currentCommand_ = cmd.number;
    currentFault_ = faults.take(cmd.number);
    it->second(*this, cmd);
    currentFault_ = {};
    currentCommand_ = -1;
}

void Instrument::reply(std::string_view bytes, int64_t delayUs) {
    replyBytes({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}, delayUs);
}

void Instrument::replyBytes(std::span<const uint8_t> bytes, int64_t delayUs) {
    std::vector<uint8_t> out(bytes.begin(), bytes.end());
    switch (currentFault_.kind) {
    case Fault::Kind::None:
        break;
    case Fault::Kind::Silent:
        return;
    case Fault::Kind::Short:
        out.resize(out.size() > currentFault_.shortBy ? out.size() - currentFault_.shortBy : 0);
        break;
    case Fault::Kind::Replace:
        out.assign(currentFault_.text.begin(), currentFault_.text.end());
        break;
    case Fault::Kind::StrayFirst:
        out.insert(out.begin(), currentFault_.text.begin(), currentFault_.text.end());
        break;
    case Fault::Kind::Late:
        delayUs += currentFault_.delayUs;
        break;
    case Fault::Kind::Stream:
        // A reply in parts streams from its first part on.
        if (!stream_ && !currentFault_.text.empty() && currentFault_.delayUs > 0)
            stream_ = Stream{currentFault_.text, currentFault_.delayUs,
                             clock_.nowUs() + kReplyLatencyUs + delayUs, 0};
        return;
    }
    queue(out, delayUs);
}

void Instrument::queue(std::span<const uint8_t> bytes, int64_t delayUs) {
    int64_t at = std::max(lineFreeUs_, nowUs() + kReplyLatencyUs + delayUs);
    for (uint8_t b : bytes) {
        if (faults.dropAfterBytes && bytesSent_ >= *faults.dropAfterBytes) break;
        if (faults.stallAtByte == bytesSent_) at += faults.stallUs;
        at += kByteTimeUs;
        output_.push_back({at, faults.flipByte == bytesSent_ ? static_cast<uint8_t>(~b) : b});
        ++bytesSent_;
    }
    lineFreeUs_ = std::max(lineFreeUs_, at);
}

void Instrument::expectBlock(size_t n, BlockHandler onBlock) {
    blockWanted_ = n;
    lastByteUs_ = nowUs();
    block_.clear();
    block_.reserve(n);
    onBlock_ = std::move(onBlock);
}

void Instrument::feedStream(int64_t nowUs) {
    if (!stream_) return;
    for (; stream_->nextUs <= nowUs; stream_->nextUs += stream_->everyUs) {
        output_.push_back({stream_->nextUs, static_cast<uint8_t>(stream_->text[stream_->next])});
        stream_->next = (stream_->next + 1) % stream_->text.size();
    }
}

size_t Instrument::take(std::span<uint8_t> out, int64_t nowUs) {
    feedStream(nowUs);
    size_t n = 0;
    if (poweredOff()) return 0;
    while (n < out.size() && !output_.empty() && output_.front().atUs <= nowUs) {
        out[n++] = output_.front().byte;
        output_.pop_front();
    }
    return n;
}

std::optional<int64_t> Instrument::nextOutputUs() const {
    if (output_.empty()) return stream_ ? std::optional(stream_->nextUs) : std::nullopt;
    return stream_ ? std::min(output_.front().atUs, stream_->nextUs) : output_.front().atUs;
}

std::optional<int64_t> Instrument::lastOutputUs() const {
    if (output_.empty()) return std::nullopt;
    return output_.back().atUs;
}

void Instrument::discardArrived(int64_t nowUs) {
    while (!output_.empty() && output_.front().atUs <= nowUs)
        output_.pop_front();
}

}  // namespace vrn::sim
