#include "sim/setup_commands.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/link/clock.h"
#include "sim/instrument.h"
#include "sim/setup_clock.h"

namespace vrn::sim {
namespace {

constexpr size_t kFieldBlock = 32;
constexpr size_t kFieldCount = 25;

// A number right-aligned in a reply of exactly `width` bytes, as the instrument answers.
std::string fixed(int value, int width) {
    char text[32];
    std::snprintf(text, sizeof text, "%*d", width, value);
    return text;
}

int arg(const CommandLine& cmd, size_t i) {
    return i < cmd.args.size() ? std::atoi(cmd.args[i].c_str()) : 0;
}

bool validBaudCode(int code) {
    switch (code) {
    case 12:
    case 24:
    case 48:
    case 96:
    case 19:
    case 38:
    case 115:
    case 230:
        return true;
    default:
        return false;
    }
}

// Registers a query answering with one number in a reply of `width` bytes.
void query(Instrument& in, int number, int width, int SimSetup::*member) {
    in.registerCommand(number, [width, member](Instrument& i, const CommandLine&) {
        i.reply(fixed(i.state.setup.*member, width));
    });
}

// Registers a setting of one number; a value outside lo..hi is not acknowledged.
void setting(Instrument& in, int number, int lo, int hi, int SimSetup::*member) {
    in.registerCommand(number, [lo, hi, member](Instrument& i, const CommandLine& cmd) {
        const int v = arg(cmd, 0);
        if (cmd.args.size() != 1 || v < lo || v > hi) return;
        i.state.setup.*member = v;
        i.reply("*");
    });
}

std::string encodeFields(const SimSetup& s) {
    std::string out(kFieldBlock * kFieldCount, '\0');
    for (size_t i = 0; i < kFieldCount; ++i) {
        const SimField& f = s.fields[i];
        char* block = out.data() + i * kFieldBlock;
        f.label.copy(block, std::min<size_t>(f.label.size(), 25));
        block[28] = static_cast<char>(f.type);
        block[29] = static_cast<char>(f.width);
        block[30] = static_cast<char>(f.precision);
    }
    return out;
}

void receiveFieldBlock(Instrument& in, size_t index) {
    in.expectBlock(kFieldBlock, [index](Instrument& i, std::span<const uint8_t> block) {
        SimField& f = i.state.setup.fields[index];
        size_t len = 0;
        while (len < 28 && block[len] != 0)
            ++len;
        f.label.assign(reinterpret_cast<const char*>(block.data()), std::min<size_t>(len, 25));
        f.type = block[28];
        f.width = block[29];
        f.precision = block[30];
        if (index + 1 < kFieldCount) {
            i.reply("!");
            receiveFieldBlock(i, index + 1);
        } else {
            i.reply("*");
        }
    });
}

}  // namespace

void registerSetupCommands(Instrument& in) {
    in.registerCommand(275, [](Instrument& i, const CommandLine&) {
        keepClock(i.state.setup, i.clock().nowUs());
        const SimSetup& s = i.state.setup;
        char text[16];
        std::snprintf(text, sizeof text, "%02d-%02d-%02d", s.month, s.day, s.year);
        i.reply(std::string(text, 9));
    });
    in.registerCommand(285, [](Instrument& i, const CommandLine&) {
        keepClock(i.state.setup, i.clock().nowUs());
        const SimSetup& s = i.state.setup;
        char text[16];
        std::snprintf(text, sizeof text, "%02d:%02d:%02d", s.hour, s.minute, s.second);
        i.reply(std::string(text, 9));
    });
    in.registerCommand(270, [](Instrument& i, const CommandLine& cmd) {
        const int m = arg(cmd, 0), d = arg(cmd, 1), y = arg(cmd, 2);
        if (cmd.args.size() != 3 || m < 1 || m > 12 || d < 1 || d > 31 || y < 0 || y > 99) return;
        keepClock(i.state.setup, i.clock().nowUs());
        i.state.setup.month = m;
        i.state.setup.day = d;
        i.state.setup.year = y;
        i.state.records.nextSeconds.reset();  // logging starts over from the new date
        i.reply("*");
    });
    in.registerCommand(280, [](Instrument& i, const CommandLine& cmd) {
        const int h = arg(cmd, 0), m = arg(cmd, 1), s = arg(cmd, 2);
        if (cmd.args.size() != 3 || h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59) return;
        keepClock(i.state.setup, i.clock().nowUs());
        i.state.setup.clockSetUs = i.clock().nowUs();
        i.state.setup.clockCarryUs = 0;
        i.state.records.nextSeconds.reset();
        i.state.setup.hour = h;
        i.state.setup.minute = m;
        i.state.setup.second = s;
        i.reply("*");
    });
    query(in, 225, 5, &SimSetup::com1Code);
    query(in, 235, 4, &SimSetup::com2Code);
    in.registerCommand(220, [](Instrument& i, const CommandLine& cmd) {
        const int code = arg(cmd, 0);
        if (cmd.args.size() != 1 || !validBaudCode(std::abs(code))) return;
        i.state.setup.com1Code = code;
        i.reply("*");
    });
    in.registerCommand(230, [](Instrument& i, const CommandLine& cmd) {
        const int code = arg(cmd, 0);
        if (cmd.args.size() != 1 || !validBaudCode(code)) return;
        i.state.setup.com2Code = code;
        i.reply("*");
    });
    query(in, 245, 2, &SimSetup::stopOnError);
    query(in, 255, 2, &SimSetup::interval);
    setting(in, 250, 0, 99, &SimSetup::interval);
    query(in, 265, 2, &SimSetup::keyLock);
    setting(in, 260, 0, 1, &SimSetup::keyLock);
    query(in, 315, 2, &SimSetup::fieldsPerRecord);
    setting(in, 310, 1, 25, &SimSetup::fieldsPerRecord);
    query(in, 331, 2, &SimSetup::autoScroll);
    setting(in, 330, 0, 1, &SimSetup::autoScroll);
    query(in, 333, 2, &SimSetup::scrollPause);
    setting(in, 332, 1, 99, &SimSetup::scrollPause);
    query(in, 335, 2, &SimSetup::scrollEnd);
    setting(in, 334, 1, 8, &SimSetup::scrollEnd);
    in.registerCommand(325, [](Instrument& i, const CommandLine&) { i.reply(encodeFields(i.state.setup)); });
    in.registerCommand(320, [](Instrument& i, const CommandLine&) {
        i.reply("!");
        receiveFieldBlock(i, 0);
    });
}

}  // namespace vrn::sim
