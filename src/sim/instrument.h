#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "sim/faults.h"
#include "sim/sim_state.h"

namespace vrn {
class Clock;
}

namespace vrn::sim {

// One command line as the instrument parsed it: "CMD" + number + blank-separated arguments.
struct CommandLine {
    int number = -1;
    std::string text;               // without the carriage return
    std::vector<std::string> args;  // the blank-separated words after the number
};

// The instrument's side of the protocol. Bytes from the PC cross the line through receive(), each
// reaching the instrument a byte time after the one before; replies leave through an output queue in
// which every byte has the time it reaches the PC.
// Each subsystem registers its commands (setup_commands.cpp, ...).
class Instrument {
public:
    // Time from the end of a command to the first reply byte, and the time of one byte on the line.
    static constexpr int64_t kReplyLatencyUs = 300;
    static constexpr int64_t kByteTimeUs = 8;  // 10 bits at 1,250,000 baud
    // A block transfer that stalls this long is abandoned; the next bytes are commands again.
    static constexpr int64_t kBlockIdleUs = 1000000;

    using Handler = std::function<void(Instrument&, const CommandLine&)>;
    using BlockHandler = std::function<void(Instrument&, std::span<const uint8_t>)>;

    explicit Instrument(Clock& clock);

    // Bytes the PC put on the line at the clock's current time. They reach the instrument one byte
    // time apart, after what the line still carries, and are handled at once at those times.
    void receive(std::span<const uint8_t> bytes);
    // When the line from the PC has carried everything received so far.
    int64_t lineInFreeUs() const { return lineInFreeUs_; }
    // The instrument's present: the arrival of the byte it is handling, else the clock's time.
    int64_t nowUs() const;
    // Moves the reply bytes that have reached the PC by nowUs into out; returns how many.
    size_t take(std::span<uint8_t> out, int64_t nowUs);
    // When the next queued byte reaches the PC, if any is queued.
    std::optional<int64_t> nextOutputUs() const;
    // When the last queued byte reaches the PC, if any is queued.
    std::optional<int64_t> lastOutputUs() const;
    // The PC purged its receive buffer: bytes that had arrived are gone.
    void discardArrived(int64_t nowUs);

    // For command handlers: queue reply bytes (after the latency, or after delayUs more).
    void reply(std::string_view bytes, int64_t delayUs = 0);
    void replyBytes(std::span<const uint8_t> bytes, int64_t delayUs = 0);
    // The next n raw bytes from the PC go to onBlock instead of the command reader.
    void expectBlock(size_t n, BlockHandler onBlock);
    // For block handlers: bytes already arrived that belong to the command reader after all.
    void handOver(std::span<const uint8_t> bytes);

    void registerCommand(int number, Handler handler);

    // A line that holds no command (the firmware loader's wake-up blank) goes to this handler.
    using LineHandler = std::function<void(Instrument&, const std::string&)>;
    void setOtherLineHandler(LineHandler handler) { otherLine_ = std::move(handler); }
    // While set, every byte from the PC goes here first (the firmware loader's own protocol); a
    // false return hands the byte to the command reader.
    using RawReader = std::function<bool(Instrument&, uint8_t)>;
    void setRawReader(RawReader reader) { rawReader_ = std::move(reader); }

    Clock& clock() { return clock_; }

    // Brings the clock, the power and the record memory up to the Clock's time: records fall
    // due, a power cut begins or ends. Receiving and sending start with it.
    void keepTime();
    // Whether the power is off now (the port is gone).
    bool poweredOff() {
        keepTime();
        return state.poweredOff;
    }

    State state;
    Faults faults;
    // How often each command number was received, and every command line in order.
    std::map<int, int> commandCounts;
    std::vector<std::string> commandLog;
    // Reply bytes put on the link so far.
    uint64_t bytesSent() const { return bytesSent_; }
    // Raw blocks received (count of blocks taken by expectBlock handlers).
    int blocksReceived = 0;

private:
    void onByte(uint8_t byte, int64_t atUs);
    void handleByte(uint8_t byte, int64_t now);
    void dispatch(const std::string& line);
    void queue(std::span<const uint8_t> bytes, int64_t delayUs);
    // Puts the bytes of a running stream fault that reach the PC by nowUs into the output.
    void feedStream(int64_t nowUs);
    void keepTimeUntil(int64_t nowUs);
    void powerOff();

    Clock& clock_;
    std::map<int, Handler> handlers_;
    std::string line_;
    size_t blockWanted_ = 0;
    int64_t lastByteUs_ = 0;
    std::vector<uint8_t> block_;
    BlockHandler onBlock_;
    LineHandler otherLine_;
    RawReader rawReader_;
    int currentCommand_ = -1;
    Fault currentFault_;
    struct Pending {
        int64_t atUs;
        uint8_t byte;
    };
    std::deque<Pending> output_;
    int64_t lineFreeUs_ = 0;         // when the line has sent everything queued so far
    int64_t lineInFreeUs_ = 0;       // when the line from the PC has carried everything received
    std::optional<int64_t> byteUs_;  // the arrival of the byte being handled
    struct Stream {
        std::string text;
        int64_t everyUs = 0;
        int64_t nextUs = 0;
        size_t next = 0;
    };
    std::optional<Stream> stream_;  // a stream fault running until the next command
    uint64_t bytesSent_ = 0;
};

// Parses "CMDnnn a b c"; number -1 when the text is not a command.
CommandLine parseCommandLine(const std::string& text);

// An instrument with every command of the protocol that the simulation knows.
void registerAllCommands(Instrument& instrument);

}  // namespace vrn::sim
