#include "cli/session.h"

namespace vrn::cli {

Session::Session(Environment& e, PortChoice c, TerminalHost::Options options)
    : env(e), choice(std::move(c)), host(e.out, e.err, e.clock, options) {}

Session::~Session() {
    if (usb) usb->closeAtExit();
}

bool Session::openLink() {
    driver = env.makePort(choice, env.clock);
    if (!driver) {
        host.error("no driver for the chosen port");
        return false;
    }
    usb.emplace(*driver, host);
    usb->OpenUsbPort();
    if (!usb->isOpen()) return false;
    exchange.emplace(*usb, host);
    return true;
}

}  // namespace vrn::cli
