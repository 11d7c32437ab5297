#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>

#include "sim/program_faults.h"

namespace vrn::sim {

// What the instrument can be told to do wrong, per command number (or for all commands).
struct Fault {
    enum class Kind : uint8_t {
        None,
        Silent,      // no reply at all
        Short,       // the reply loses its last `shortBy` bytes
        Replace,     // the reply is `text` instead
        StrayFirst,  // `text` goes out before the reply
        Late,        // the reply leaves `delayUs` later than it would
        Stream  // instead of the reply, `text` over and over, a byte every `delayUs`, until the next command
    };
    Kind kind = Kind::None;
    size_t shortBy = 1;
    std::string text;
    int64_t delayUs = 0;
    int times = -1;  // how many replies it spoils; -1 for every one

    static Fault silent(int times = -1) { return make(Kind::Silent, 0, {}, times); }
    static Fault cutShort(size_t by, int times = -1) { return make(Kind::Short, by, {}, times); }
    static Fault replace(std::string text, int times = -1) {
        return make(Kind::Replace, 0, std::move(text), times);
    }
    static Fault strayFirst(std::string text, int times = -1) {
        return make(Kind::StrayFirst, 0, std::move(text), times);
    }

    static Fault stream(std::string text, int64_t everyUs, int times = -1) {
        Fault f = make(Kind::Stream, 0, std::move(text), times);
        f.delayUs = everyUs;
        return f;
    }

    static Fault late(int64_t delayUs, int times = -1) {
        Fault f = make(Kind::Late, 0, {}, times);
        f.delayUs = delayUs;
        return f;
    }

private:
    static Fault make(Kind kind, size_t by, std::string text, int times) {
        Fault f;
        f.kind = kind;
        f.shortBy = by;
        f.text = std::move(text);
        f.times = times;
        return f;
    }
};

// Faults of the record download (CMD340) and the record erase (CMD345).
struct RecordFaults {
    std::optional<uint64_t> stopAfterBytes;   // the records stop after this many bytes
    std::optional<uint64_t> stallAfterBytes;  // the records pause once after this many bytes
    int64_t stallUs = 0;
    std::string eraseStray;  // sent among the erase's progress bytes
};

// The power fails at atUs on the Clock and comes back forUs later: meanwhile the port is gone,
// the clock stands and nothing is logged; what was on its way to the PC is lost.
struct PowerCut {
    int64_t atUs = 0;
    int64_t forUs = 0;
};

struct Faults {
    std::map<int, Fault> perCommand;
    // Faults used one after another (each for its `times`) before perCommand is looked at.
    std::map<int, std::deque<Fault>> sequence;
    std::optional<Fault> all;  // applies to every command without its own fault
    // The link drops (no more bytes reach the PC) once this many reply bytes were sent.
    std::optional<uint64_t> dropAfterBytes;
    // Reply bytes are numbered from 0 over everything sent: the link pauses once for stallUs
    // before byte stallAtByte, and byte flipByte arrives with its bits inverted.
    std::optional<uint64_t> stallAtByte;
    int64_t stallUs = 0;
    std::optional<uint64_t> flipByte;
    // Blocks of a block transfer (numbered from 0) whose bytes arrive corrupted.
    std::map<int, int> corruptBlocks;  // block number -> how many times
    ProgramFaults program;
    RecordFaults records;
    std::optional<PowerCut> powerCut;
    // The firmware loader: how many records it acknowledges before it falls silent, and text it
    // sends before every acknowledgement.
    std::optional<int> loaderAcks;
    std::string loaderStray;

    // The fault for this command, counting one use; Kind::None when there is none.
    Fault take(int command);
};

}  // namespace vrn::sim
