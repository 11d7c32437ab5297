#include "core/service/diagnostics.h"

#include <array>
#include <cstdio>
#include <optional>
#include <utility>

#include "core/link/clock.h"
#include "core/link/exchange.h"
#include "core/link/host.h"
#include "core/link/usb_port.h"

namespace vrn::service {
namespace {

constexpr std::array kInputKinds{
    InputKind{"SE Voltage Input", "se", true, 16, 1, "CMD922", true},
    InputKind{"DIFF Voltage Input", "diff", true, 15, 2, "CMD926", true},
    InputKind{"WD Voltage Input", "wd", true, 4, 1, "CMD924", true},
    InputKind{"Low-Level Freq Input", "lowfreq", true, 4, 1, "CMD935", false},
    InputKind{"Switch/TTL Freq Input", "ttl", false, 0, 0, "CMD940", false},
};

constexpr std::array kOutputLevels{
    OutputLevel{"0mV", "RadioButton0mV", false, 0},
    OutputLevel{"1000mV", "RadioButton1000mV", false, 1000},
    OutputLevel{"2500mV", "RadioButton2500mV", false, 2500},
    OutputLevel{"5000mV", "RadioButton5000mV", false, 5000},
    OutputLevel{"0.00mA", "RadioButton0mA", true, 0},
    OutputLevel{"4.00mA", "RadioButton4mA", true, 4},
    OutputLevel{"12.00mA", "RadioButton12mA", true, 12},
    OutputLevel{"20.00mA", "RadioButton20mA", true, 20},
};

// Refused after its box while the port is closed; Done while it is open.
Outcome refusedWhenClosed(Exchange& ex, const char* text) {
    if (ex.port().isOpen()) return Outcome::done();
    warn(ex.host(), text);
    return Outcome::refused(text);
}

// The result box's text: a reply, or kNoResponse as a failure.
Result<std::string> reading(std::optional<std::string> text) {
    if (!text) return {Outcome::failed(kNoResponse), kNoResponse};
    return {Outcome::done(), std::move(*text)};
}

std::string withTwoDigits(const char* command, int channel) {
    char text[32];
    std::snprintf(text, sizeof text, "%s %02d\r", command, channel);
    return text;
}

// A command whose reply is read after a pause; the hourglass shows during the pause if asked.
std::optional<std::string> askAndRead(Exchange& ex, const std::string& command, int64_t pauseMs,
                                      bool hourglass) {
    ex.SendCommand(command);
    {
        std::optional<WaitCursor> cursor;
        if (hourglass) cursor.emplace(ex.host());
        ex.host().clock().sleepMs(pauseMs);
    }
    return readReply(ex);
}

}  // namespace

std::span<const InputKind> inputKinds() {
    return kInputKinds;
}

std::span<const OutputLevel> outputLevels() {
    return kOutputLevels;
}

void selectInputKind(size_t kind, ChannelBox& box) {
    if (kind >= kInputKinds.size() || !kInputKinds[kind].setsRange) return;
    box.maximum = kInputKinds[kind].maxChannel;
    box.value = 1;
    box.step = kInputKinds[kind].step;
}

std::optional<std::string> readReply(Exchange& ex) {
    std::array<uint8_t, kReplyRead> buffer{};
    const size_t count = ex.port().read(buffer).count;
    if (count == 0) return std::nullopt;
    return std::string(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(count - 1));
}

void TestMVout(Exchange& ex, int channel, int millivolts) {
    ex.SendCommand(commandText("CMD945 %01i %01i", channel, millivolts));
    ex.host().clock().sleepMs(kOutputPauseMs);
}

void TestMAout(Exchange& ex, int channel, int milliamperes) {
    ex.SendCommand(commandText("CMD950 %01i %01i", channel, milliamperes));
    ex.host().clock().sleepMs(kOutputPauseMs);
}

Result<std::string> testInput(Exchange& ex, size_t kind, int channel) {
    if (kind >= kInputKinds.size()) return Outcome::refused();
    if (Outcome open = refusedWhenClosed(ex, kInputClosedText); !open.ok()) return open;
    const InputKind& k = kInputKinds[kind];
    const std::string command = withTwoDigits(k.command, channel);
    const auto reply = askAndRead(ex, command, k.voltage ? kVoltagePauseMs : kShortPauseMs, k.voltage);
    return reading(reply && !k.voltage ? "Count: " + *reply : reply);
}

Outcome testOutput(Exchange& ex, int channel, size_t level) {
    if (level >= kOutputLevels.size()) return Outcome::refused();
    if (Outcome open = refusedWhenClosed(ex, kOutputClosedText); !open.ok()) return open;
    const OutputLevel& l = kOutputLevels[level];
    if (l.milliamperes)
        TestMAout(ex, channel, l.value);
    else
        TestMVout(ex, channel, l.value);
    return Outcome::done();
}

void resetAllOutputs(Exchange& ex) {
    for (int channel = 1; channel <= kOutputChannelCount; ++channel) {
        TestMVout(ex, channel, 0);
        ex.host().clock().sleepMs(kResetPauseMs);
    }
}

Result<std::string> testRam(Exchange& ex) {
    if (Outcome open = refusedWhenClosed(ex, kRamClosedText); !open.ok()) return open;
    ex.SendCommand("CMD910\r");
    ex.host().clock().sleepMs(kShortPauseMs);
    std::array<uint8_t, kReplyRead> buffer{};
    const size_t count = ex.port().read(buffer).count;
    if (count == 0) return reading(std::nullopt);
    return reading(buffer[0] == '0' ? "RAM OK" : "RAM ERROR");
}

Result<std::string> testPgm(Exchange& ex) {
    if (Outcome open = refusedWhenClosed(ex, kPgmClosedText); !open.ok()) return open;
    const auto reply = askAndRead(ex, "CMD905\r", kShortPauseMs, false);
    return reading(reply ? std::optional("PGM Signature: 0x" + *reply) : std::nullopt);
}

Result<std::string> testRom(Exchange& ex) {
    if (Outcome open = refusedWhenClosed(ex, kRomClosedText); !open.ok()) return open;
    const auto reply = askAndRead(ex, "CMD900\r", kRomPauseMs, true);
    return reading(reply ? std::optional("ROM Signature: 0x" + *reply) : std::nullopt);
}

Outcome testDisplay(Exchange& ex) {
    if (Outcome open = refusedWhenClosed(ex, kDisplayClosedText); !open.ok()) return open;
    ex.SendCommand("CMD915\r");
    WaitCursor cursor(ex.host());
    ex.host().clock().sleepMs(kDisplayPauseMs);
    return Outcome::done();
}

Outcome testSwitch(Exchange& ex, int channel, bool on) {
    if (Outcome open = refusedWhenClosed(ex, kSwitchClosedText); !open.ok()) return open;
    ex.SendCommand(commandText("CMD920 %01i %01i", channel, on ? 1 : 0));
    return Outcome::done();
}

void setPullDown(Exchange& ex, int channel, bool on) {
    ex.SendCommand(commandText("CMD850 %d", on ? channel : -channel));
}

}  // namespace vrn::service
