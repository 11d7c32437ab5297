#pragma once

#include <cstdint>

#include "core/link/outcome.h"

namespace vrn::setup {
class SetupTransfer;
}
namespace vrn::screens {
class ScreenTransfer;
}
namespace vrn::program {
class ProgramTransfer;
}

namespace vrn::workspace {

// The pages a whole transfer shows, as the window's page control knows them.
enum class Page : uint8_t { Setup, Screens, Program };

// The window's page control as a whole transfer shows its steps on it; this one shows none.
class PageControl {
public:
    virtual ~PageControl() = default;
    // The page now shown, as an opaque index to give back to `restore`.
    virtual int current() const { return 0; }
    virtual void show(Page page) const { (void)page; }
    virtual void restore(int index) const { (void)index; }
};

// The three transfers over one exchange, in the order they run.
struct Transfers {
    setup::SetupTransfer& setup;
    screens::ScreenTransfer& screens;
    program::ProgramTransfer& program;
};

// The Send waits this long before its screens and its program steps.
inline constexpr int64_t kSendStepPauseMs = 1000;

// Commands, Get and Send Setup/Screens/Pgm: refused with a box while the port is closed, asked
// first (the Send also checks the program with the Setup's record format and asks before sending
// one with errors), then the three transfers in order up to the first failure, each on its own
// page; the page shown before comes back at the end. The outcome of the step that failed; a closed
// port is PortGone, a program without PGM END or a question answered No is Refused.
Outcome GetCollection1(Transfers& t, const PageControl& pages);
Outcome SendCollection1(Transfers& t, const PageControl& pages);

// The same runs without the question: for the command-line tool and the firmware backup.
Outcome getAll(Transfers& t, const PageControl& pages);
Outcome sendAll(Transfers& t, const PageControl& pages);

}  // namespace vrn::workspace
