#include "core/service/diagnostics.h"

#include <array>
#include <cstdio>

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

bool refusedWhenClosed(Exchange& ex, const char* text) {
    if (ex.port().isOpen()) return false;
    warn(ex.host(), text);
    return true;
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

std::optional<std::string> testInput(Exchange& ex, size_t kind, int channel) {
    if (kind >= kInputKinds.size() || refusedWhenClosed(ex, kInputClosedText)) return std::nullopt;
    const InputKind& k = kInputKinds[kind];
    const std::string command = withTwoDigits(k.command, channel);
    const auto reply = askAndRead(ex, command, k.voltage ? kVoltagePauseMs : kShortPauseMs, k.voltage);
    if (!reply) return kNoResponse;
    return k.voltage ? *reply : "Count: " + *reply;
}

bool testOutput(Exchange& ex, int channel, size_t level) {
    if (level >= kOutputLevels.size() || refusedWhenClosed(ex, kOutputClosedText)) return false;
    const OutputLevel& l = kOutputLevels[level];
    if (l.milliamperes)
        TestMAout(ex, channel, l.value);
    else
        TestMVout(ex, channel, l.value);
    return true;
}

void resetAllOutputs(Exchange& ex) {
    for (int channel = 1; channel <= kOutputChannelCount; ++channel) {
        TestMVout(ex, channel, 0);
        ex.host().clock().sleepMs(kResetPauseMs);
    }
}

std::optional<std::string> testRam(Exchange& ex) {
    if (refusedWhenClosed(ex, kRamClosedText)) return std::nullopt;
    ex.SendCommand("CMD910\r");
    ex.host().clock().sleepMs(kShortPauseMs);
    std::array<uint8_t, kReplyRead> buffer{};
    const size_t count = ex.port().read(buffer).count;
    if (count == 0) return kNoResponse;
    return buffer[0] == '0' ? "RAM OK" : "RAM ERROR";
}

std::optional<std::string> testPgm(Exchange& ex) {
    if (refusedWhenClosed(ex, kPgmClosedText)) return std::nullopt;
    const auto reply = askAndRead(ex, "CMD905\r", kShortPauseMs, false);
    return reply ? "PGM Signature: 0x" + *reply : kNoResponse;
}

std::optional<std::string> testRom(Exchange& ex) {
    if (refusedWhenClosed(ex, kRomClosedText)) return std::nullopt;
    const auto reply = askAndRead(ex, "CMD900\r", kRomPauseMs, true);
    return reply ? "ROM Signature: 0x" + *reply : kNoResponse;
}

bool testDisplay(Exchange& ex) {
    if (refusedWhenClosed(ex, kDisplayClosedText)) return false;
    ex.SendCommand("CMD915\r");
    WaitCursor cursor(ex.host());
    ex.host().clock().sleepMs(kDisplayPauseMs);
    return true;
}

bool testSwitch(Exchange& ex, int channel, bool on) {
    if (refusedWhenClosed(ex, kSwitchClosedText)) return false;
    ex.SendCommand(commandText("CMD920 %01i %01i", channel, on ? 1 : 0));
    return true;
}

void setPullDown(Exchange& ex, int channel, bool on) {
    ex.SendCommand(commandText("CMD850 %d", on ? channel : -channel));
}

}  // namespace vrn::service
