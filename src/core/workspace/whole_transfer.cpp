#include "core/workspace/whole_transfer.h"

#include <optional>

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

void show(const PageControl& pages, Page page) {
    if (pages.show) pages.show(page);
}

// Runs the three steps; `between` runs before the second and the third. The page of the step
// that failed, if one did.
std::optional<Page> runSteps(Transfers& t, const PageControl& pages, bool send,
                             const std::function<void()>& between) {
    show(pages, Page::Setup);
    if (send ? t.setup.SendUserSettings() : t.setup.GetUserSettings()) return Page::Setup;
    between();
    show(pages, Page::Screens);
    if (send ? t.screens.SendUserScreens() : t.screens.GetUserScreens()) return Page::Screens;
    between();
    show(pages, Page::Program);
    if (send ? t.program.SendUserProgram() : t.program.GetUserProgram()) return Page::Program;
    return std::nullopt;
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
    // The Send overwrites the instrument's configuration; the Get only the window's.
    // Refused before anything is sent: the Setup and Screens alone would leave the instrument
    // half changed.
    if (send && !t.program.program().store.hasPgmEnd()) {
        warn(host, kNoPgmEndText);
        return true;
    }
    if (ask && send && !check::confirmSendDespiteErrors(host, t.program.program().store, &t.setup.model()))
        return true;
    if (ask && !(send ? confirmOverwrite(host, texts.question) : confirm(host, texts.question))) return true;
    host.appendLine(texts.first);
    std::optional<Page> failedAt;
    {
        WaitCursor hourglass(host);
        if (send) {
            failedAt = runSteps(t, pages, true, [&host] { host.clock().sleepMs(kSendStepPauseMs); });
        } else {
            host.pump();
            failedAt = runSteps(t, pages, false, [&host] { host.pump(); });
        }
        if (pages.restore) pages.restore(before);
    }
    const bool failed = failedAt.has_value();
    if (failed) {
        // A Setup refused before anything was sent, or a program at fault, has said why in its
        // own box; the link is fine.
        const bool explained = (*failedAt == Page::Setup && send && t.setup.refusedBeforeSending()) ||
                               (*failedAt == Page::Program && t.program.programAtFault());
        if (!explained) MyCommError(host);
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
