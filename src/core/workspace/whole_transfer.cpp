#include "core/workspace/whole_transfer.h"

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

void show(const PageControl& pages, Page page) {
    if (pages.show) pages.show(page);
}

// Runs the three steps; `between` runs before the second and the third.
bool runSteps(Transfers& t, const PageControl& pages, bool send, const std::function<void()>& between) {
    show(pages, Page::Setup);
    if (send ? t.setup.SendUserSettings() : t.setup.GetUserSettings()) return true;
    between();
    show(pages, Page::Screens);
    if (send ? t.screens.SendUserScreens() : t.screens.GetUserScreens()) return true;
    between();
    show(pages, Page::Program);
    return send ? t.program.SendUserProgram() : t.program.GetUserProgram();
}

bool run(Transfers& t, const PageControl& pages, bool send, bool ask) {
    const Texts& texts = send ? kSend : kGet;
    Exchange& ex = t.setup.exchange();
    Host& host = ex.host();
    const int before = pages.current ? pages.current() : 0;
    if (!ex.port().isOpen()) {
        warn(host, texts.closed);
        return true;
    }
    if (ask && send && !check::confirmSendDespiteErrors(host, t.program.program().store, &t.setup.model()))
        return true;
    if (ask && !confirm(host, texts.question)) return true;
    host.appendLine(texts.first);
    bool failed = false;
    {
        WaitCursor hourglass(host);
        if (send) {
            failed = runSteps(t, pages, true, [&host] { host.clock().sleepMs(kSendStepPauseMs); });
        } else {
            host.pump();
            failed = runSteps(t, pages, false, [&host] { host.pump(); });
        }
        if (pages.restore) pages.restore(before);
    }
    if (failed) {
        // A Setup refused before anything was sent has said why in its own box; the link is fine.
        if (!(send && t.setup.refusedBeforeSending())) MyCommError(host);
        host.appendLine(texts.failed);
    } else {
        host.appendLine(texts.finished);
    }
    return failed;
}

}  // namespace

bool GetCollection1(Transfers& t, const PageControl& pages) {
    return run(t, pages, false, true);
}

bool SendCollection1(Transfers& t, const PageControl& pages) {
    return run(t, pages, true, true);
}

bool getAll(Transfers& t, const PageControl& pages) {
    return run(t, pages, false, false);
}

bool sendAll(Transfers& t, const PageControl& pages) {
    return run(t, pages, true, false);
}

}  // namespace vrn::workspace
