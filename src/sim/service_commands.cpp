#include "sim/service_commands.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "sim/firmware_loader.h"
#include "sim/instrument.h"

namespace vrn::sim {
namespace {

// How long a calibration step keeps the instrument busy before its "*".
constexpr int64_t kCalStepUs = 3000000;
// Replies come a little before the PC reads them.
constexpr int64_t kVoltageReplyUs = 2000000;
constexpr int64_t kRomReplyUs = 1500000;
constexpr int64_t kCheckLineUs = 20000;
constexpr int kInputChannels = 16;
constexpr int kOutputChannels = 4;

int arg(const CommandLine& cmd, size_t i) {
    return i < cmd.args.size() ? std::atoi(cmd.args[i].c_str()) : 0;
}

bool outputChannel(int channel) {
    return channel >= 1 && channel <= kOutputChannels;
}

// A plausible reading of an input channel in millivolts, steady for a channel.
double inputMillivolts(int kind, int channel) {
    return 100.0 * kind + 12.5 * channel + 0.25;
}

void registerCalibration(Instrument& in) {
    for (int number : {810, 815, 820, 825, 830, 835, 840, 845}) {
        in.registerCommand(number, [number](Instrument& i, const CommandLine& cmd) {
            SimService& s = i.state.service;
            if (number == 815 || number == 825) {
                if (cmd.args.size() != 1) return;
                const float ref = std::strtof(cmd.args[0].c_str(), nullptr);
                if (!(ref > 0.0F && ref < 10000.0F)) return;
                (number == 815 ? s.seReference : s.diffReference) = ref;
            }
            ++s.calibrationSteps;
            i.reply("*", kCalStepUs);
        });
    }
    // Sixteen rows of calibration values, well within the thousand bytes the PC reads at first.
    in.registerCommand(805, [](Instrument& i, const CommandLine&) {
        const SimService& s = i.state.service;
        std::string text;
        for (int ch = 1; ch <= kInputChannels; ++ch) {
            char row[160];
            std::snprintf(row, sizeof row, "%d\t%d\t%d\t%d\t%.4f\t%.4f\t%.4f\t%.4f\t%.3f\t%.4f\t%.3f\r", ch,
                          3 + ch, -2 - ch, 1 + ch % 4, static_cast<double>(s.seReference) / 5000.0,
                          static_cast<double>(s.diffReference) / 5000.0, 1.0001, 0.9999, 0.125, 1.0003,
                          0.004);
            text += row;
        }
        i.reply(text);
    });
    auto check = [](Instrument& i, const char* label, int channels, int kind) {
        std::string text;
        for (int ch = 1; ch <= channels; ++ch) {
            char row[64];
            std::snprintf(row, sizeof row, "%s %02d %9.3f mV\r", label, ch, inputMillivolts(kind, ch));
            text += row;
        }
        text += "*";
        i.reply(text, kCheckLineUs * channels);
    };
    in.registerCommand(952, [check](Instrument& i, const CommandLine& cmd) {
        if (arg(cmd, 0) == 4) {
            // The outputs read back through their own channels.
            const SimService& s = i.state.service;
            std::string text;
            for (int ch = 1; ch <= kOutputChannels; ++ch) {
                const size_t at = static_cast<size_t>(ch - 1);
                char row[64];
                std::snprintf(row, sizeof row, "OUT %02d %9.3f mV %7.3f mA\r", ch,
                              s.outputMillivolts[at] * 0.9998 + 0.4, s.outputMilliamperes[at] * 1.0002);
                text += row;
            }
            i.reply(text + "*", kCheckLineUs * kOutputChannels);
            return;
        }
        check(i, "SE", arg(cmd, 0) > 0 ? arg(cmd, 0) : kInputChannels, 0);
    });
    in.registerCommand(956,
                       [check](Instrument& i, const CommandLine& cmd) { check(i, "DIFF", arg(cmd, 0), 1); });
    in.registerCommand(954, [check](Instrument& i, const CommandLine&) { check(i, "WD", 4, 2); });
}

void registerTests(Instrument& in) {
    for (int number : {922, 924, 926}) {
        in.registerCommand(number, [number](Instrument& i, const CommandLine& cmd) {
            const int ch = arg(cmd, 0);
            if (ch < 1 || ch > kInputChannels) return;
            char text[32];
            std::snprintf(text, sizeof text, "%.3f\r", inputMillivolts(number - 922, ch));
            i.reply(text, kVoltageReplyUs);
        });
    }
    for (int number : {935, 940}) {
        in.registerCommand(number, [number](Instrument& i, const CommandLine& cmd) {
            const int ch = arg(cmd, 0);
            if (ch < 1 || ch > kInputChannels) return;
            i.reply(std::to_string((number == 935 ? 100 : 1000) + 7 * ch) + "\r");
        });
    }
    in.registerCommand(910, [](Instrument& i, const CommandLine&) { i.reply("0\r"); });
    in.registerCommand(905, [](Instrument& i, const CommandLine&) { i.reply("7A3C\r"); });
    in.registerCommand(900, [](Instrument& i, const CommandLine&) {
        // The ROM signature follows the firmware programmed last.
        char text[16];
        std::snprintf(text, sizeof text, "%04X\r", (0xC0DEU + i.state.service.firmwareSum) & 0xFFFFU);
        i.reply(text, kRomReplyUs);
    });
    in.registerCommand(915, [](Instrument&, const CommandLine&) {});
    in.registerCommand(920, [](Instrument& i, const CommandLine& cmd) {
        if (outputChannel(arg(cmd, 0)))
            i.state.service.switches[static_cast<size_t>(arg(cmd, 0) - 1)] = arg(cmd, 1) != 0;
    });
    in.registerCommand(945, [](Instrument& i, const CommandLine& cmd) {
        if (outputChannel(arg(cmd, 0)))
            i.state.service.outputMillivolts[static_cast<size_t>(arg(cmd, 0) - 1)] = arg(cmd, 1);
    });
    in.registerCommand(950, [](Instrument& i, const CommandLine& cmd) {
        if (outputChannel(arg(cmd, 0)))
            i.state.service.outputMilliamperes[static_cast<size_t>(arg(cmd, 0) - 1)] = arg(cmd, 1);
    });
    in.registerCommand(850, [](Instrument& i, const CommandLine& cmd) {
        const int ch = std::abs(arg(cmd, 0));
        if (outputChannel(ch)) i.state.service.pullDowns[static_cast<size_t>(ch - 1)] = arg(cmd, 0) > 0;
    });
}

}  // namespace

void registerServiceCommands(Instrument& in) {
    registerCalibration(in);
    registerTests(in);
    registerFirmwareLoader(in);
}

}  // namespace vrn::sim
