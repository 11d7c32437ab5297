#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "core/link/outcome.h"

namespace vrn {
class Exchange;
}

namespace vrn::service {

inline constexpr size_t kReplyRead = 25;
inline constexpr int64_t kOutputPauseMs = 200;
inline constexpr int64_t kResetPauseMs = 100;
inline constexpr int64_t kVoltagePauseMs = 2500;
inline constexpr int64_t kShortPauseMs = 100;
inline constexpr int64_t kRomPauseMs = 2000;
inline constexpr int64_t kDisplayPauseMs = 3000;
inline constexpr int kOutputChannelCount = 4;
inline constexpr const char* kNoResponse = "No Response";

// The kinds of the input test, in the order of the Input list.
struct InputKind {
    const char* item;
    const char* cliName;
    bool setsRange;  // choosing it sets the channel box's maximum and step and resets it to 1
    int maxChannel;
    int step;
    const char* command;  // the number, e.g. "CMD922"; the channel follows as two digits
    bool voltage;         // 2.5 s under the hourglass, else 100 ms and "Count: "
};
std::span<const InputKind> inputKinds();

// The channel spin box of the input test, as a plain model of the control.
struct ChannelBox {
    int value = 1;
    int minimum = 1;
    int maximum = 16;
    int step = 1;
};
// Choosing an input kind; the Switch/TTL kind leaves the box as the kind before left it.
void selectInputKind(size_t kind, ChannelBox& box);

// The texts shown instead of a test when the port is closed.
inline constexpr const char* kInputClosedText = "Cannot test input because USB port is closed.";
inline constexpr const char* kOutputClosedText = "Cannot test analog output because USB port is closed.";
inline constexpr const char* kRamClosedText = "Cannot test RAM because USB port is closed.";
inline constexpr const char* kPgmClosedText = "Cannot get program checksum because USB port is closed.";
inline constexpr const char* kRomClosedText = "Cannot get ROM checksum because USB port is closed.";
inline constexpr const char* kDisplayClosedText = "Cannot test display because USB port is closed.";
inline constexpr const char* kSwitchClosedText = "Cannot test solid-state switch because USB port is closed.";

// One read of at most 25 bytes; the bytes but the last, or none when nothing came.
std::optional<std::string> readReply(Exchange& ex);

// The analog outputs: one level, then 200 ms for it to settle. Nothing is read.
void TestMVout(Exchange& ex, int channel, int millivolts);
void TestMAout(Exchange& ex, int channel, int milliamperes);

// The output levels of the Tests page, in the order of its radio buttons.
struct OutputLevel {
    const char* caption;
    const char* button;
    bool milliamperes;
    int value;
};
std::span<const OutputLevel> outputLevels();

// Each test that reads a reply yields the result box's text: Failed with kNoResponse as its text
// when nothing came. A test is Refused, without a text, when the port is closed (after its box,
// which is the reason) or what it was given is not one of its choices.
Result<std::string> testInput(Exchange& ex, size_t kind, int channel);
Outcome testOutput(Exchange& ex, int channel, size_t level);
// Sends its four commands even with the port closed, as the window's button does.
void resetAllOutputs(Exchange& ex);
Result<std::string> testRam(Exchange& ex);
Result<std::string> testPgm(Exchange& ex);
Result<std::string> testRom(Exchange& ex);
Outcome testDisplay(Exchange& ex);
Outcome testSwitch(Exchange& ex, int channel, bool on);
void setPullDown(Exchange& ex, int channel, bool on);

}  // namespace vrn::service
