#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/link/clock.h"
#include "sim/sim_state.h"

namespace vrn::sim {

class Instrument;

// Keeps what the instrument was sent in a folder between runs of vrncomm-sim, one file a part
// (setup.txt, screens.bin, program.bin, records.bin), so scripts and demos can send something,
// restart the simulator and get it back. A records.txt written by hand ("logged N", "first
// SECONDS", "interval SECONDS") gives a memory to start from where there is no records.bin.
// A running clock is kept as its distance from the PC's clock, so it runs on while the simulator
// is stopped, as a battery-backed one does, and the records that fell due meanwhile are logged.
class StateDir {
public:
    explicit StateDir(std::string dir) : dir_(std::move(dir)) {}

    // Creates the folder if need be and reads the parts it holds into the instrument; parts not
    // there keep what the instrument has. False with the reason when a part cannot be read.
    bool load(Instrument& instrument, std::string& error);

    // Writes each part whose contents changed since the last load or save (write to a temporary
    // file, then rename); false with the reason when one cannot be written.
    bool save(Instrument& instrument, std::string& error);

private:
    bool savePart(const std::string& name, const std::string& contents, std::string& error);

    std::string dir_;
    static constexpr size_t kParts = 5;
    std::array<std::string, kParts> last_;  // each part's contents as last loaded or saved
};

// The Setup as the lines of setup.txt, and back (false with the reason for a line it cannot use).
std::string setupText(const SimSetup& setup, int64_t nowUs, const LocalDateTime& pcNow);
bool readSetupText(const std::string& text, SimSetup& setup, int64_t nowUs, const LocalDateTime& pcNow,
                   std::string& error);

}  // namespace vrn::sim
