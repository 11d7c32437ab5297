#pragma once
#include <cstdint>

namespace vrn::bench {

// What a pty itself costs two parties who talk through it as a transfer does, with nothing else
// in the way: the part of a transfer's time that no program on either end can remove.
struct BarePtyCosts {
    double turnaroundUs = 0;  // a one-byte command to its one-byte answer, beyond the reply latency
    double writeUs = 0;       // one one-byte write call while the other end reads
    bool ok = false;
};

// Medians of ROUNDS turnarounds and of five runs of WRITES write calls, between this thread on
// one end of a new raw pty and a thread on the other that answers after replyLatencyUs, sleeping
// as the simulated instrument does.
BarePtyCosts measureBarePty(int64_t replyLatencyUs, int rounds, int writes);

}  // namespace vrn::bench
