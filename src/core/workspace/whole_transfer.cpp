#include "core/workspace/whole_transfer.h"

#include <functional>

#include "core/check/check_actions.h"
#include "core/link/clock.h"
#include "core/link/exchange.h"
#include "core/link/host.h"
#include "core/link/usb_port.h"
#include "core/program/program_transfer.h"
#include "core/screens/screen_transfer.h"
#include "core/setup/setup_transfer.h"

namespace vrn::workspace {
namespace {

struct Texts {
    const char* closed;
    const char* question;
    const char* first;
    const char* finished;
    const char* failed;
};

constexpr Texts kGet{
    "Cannot Get Setup/Screens/Program.\nUSB port is closed.",
    "Get Setup/Screens/Pgm from 41700.\nOverwrite settings in VRNComm?",
    "GET SETUP/SCREENS/PROGRAM...",
    "FINISHED GETTING SETUP/SCREENS/PROGRAM.",
    "GET SETUP/SCREENS/PROGRAM FAILED.",
};

// The Send's closed-port text names the comm port, as it always has.
constexpr Texts kSend{
    "Cannot Send Setup/Screens/Program.\nComm port is closed.",
    "Send Setup/Screens/Program.\nOverwrite settings in 41700?",
    "SEND SETUP/SCREENS/PROGRAM...",
    "FINISHED SENDING SETUP/SCREENS/PROGRAM.",
    "SEND SETUP/SCREENS/PROGRAM FAILED.",
};

constexpr const char* kNoPgmEndText = "Cannot Send Setup/Screens/Program.\nThe program has no PGM END.";

// Runs the three steps, each on its page; `between` runs before the second and the third. The
// outcome of the last step run.
Outcome runSteps(Transfers& t, const PageControl& pages, bool send, const std::function<void()>& between) {
    pages.show(Page::Setup);
    if (Outcome o = send ? t.setup.SendUserSettings() : t.setup.GetUserSettings(); !o.ok()) return o;
    between();
    pages.show(Page::Screens);
    if (Outcome o = send ? t.screens.SendUserScreens() : t.screens.GetUserScreens(); !o.ok()) return o;
    between();
    pages.show(Page::Program);
    return send ? t.program.SendUserProgram() : t.program.GetUserProgram();
}

Outcome run(Transfers& t, const PageControl& pages, bool send, bool ask) {
    const Texts& texts = send ? kSend : kGet;
    Exchange& ex = t.setup.exchange();
    Host& host = ex.host();
    const int before = pages.current();
    if (!ex.port().isOpen()) {
        warn(host, texts.closed);
        return Outcome::portGone(texts.closed);
    }
    // The Send overwrites the instrument's configuration; the Get only the window's.
    // Refused before anything is sent: the Setup and Screens alone would leave the instrument
    // half changed.
    if (send && !t.program.program().store.hasPgmEnd()) {
        warn(host, kNoPgmEndText);
        return Outcome::refused(kNoPgmEndText);
    }
    if (ask && send && !check::confirmSendDespiteErrors(host, t.program.program().store, &t.setup.model()))
        return Outcome::refused();
    if (ask && !(send ? confirmOverwrite(host, texts.question) : confirm(host, texts.question)))
        return Outcome::refused();
    host.appendLine(texts.first);
    Outcome outcome = Outcome::done();
    {
        WaitCursor hourglass(host);
        if (send) {
            outcome = runSteps(t, pages, true, [&host] { host.clock().sleepMs(kSendStepPauseMs); });
        } else {
            host.pump();
            outcome = runSteps(t, pages, false, [&host] { host.pump(); });
        }
        pages.restore(before);
    }
    if (!outcome.ok()) {
        // A Setup refused before anything was sent, or a program at fault, has said why in its
        // own box; the link is fine.
        const bool explained =
            outcome.kind() == Outcome::Kind::Refused || outcome.kind() == Outcome::Kind::ProgramAtFault;
        if (!explained) MyCommError(host);
        host.appendLine(texts.failed);
    } else {
        host.appendLine(texts.finished);
    }
    return outcome;
}

}  // namespace

Outcome GetCollection1(Transfers& t, const PageControl& pages) {
    return run(t, pages, false, true);
}

Outcome SendCollection1(Transfers& t, const PageControl& pages) {
    return run(t, pages, true, true);
}

Outcome getAll(Transfers& t, const PageControl& pages) {
    return run(t, pages, false, false);
}

Outcome sendAll(Transfers& t, const PageControl& pages) {
    return run(t, pages, true, false);
}

}  // namespace vrn::workspace
