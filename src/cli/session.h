#pragma once

#include <memory>
#include <optional>

#include "cli/cli.h"
#include "cli/command_result.h"
#include "cli/terminal_host.h"
#include "core/link/exchange.h"
#include "core/link/port.h"
#include "core/link/usb_port.h"

namespace vrn::cli {

// The options every command shares, the instrument link opened on demand, and the run's result.
struct Session {
    Session(Environment& env, PortChoice choice, TerminalHost::Options options, CommandResult& result);
    ~Session();

    // Opens the port the way the window does at start-up; false (after its warning) when none.
    // Notes the port in the result either way.
    bool openLink();

    Environment& env;
    PortChoice choice;
    CommandResult& result;
    TerminalHost host;
    std::unique_ptr<Port> driver;
    std::optional<UsbPort> usb;
    std::optional<Exchange> exchange;
    // --json was given: standard output is the document's.
    bool documentOnStdout = false;
};

}  // namespace vrn::cli
