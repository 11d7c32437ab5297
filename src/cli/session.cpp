#include "cli/session.h"

#include "cli/outcome_exit.h"
#include "cli/result_outcomes.h"
#include "ports/instrument_choice.h"
#include "ports/serial_port.h"
#include "ports/usb_serial_number.h"

namespace vrn::cli {
Session::Session(Environment& e, PortChoice c, TerminalHost::Options options, CommandResult& r)
    : env(e), choice(std::move(c)), result(r), host(e.out, e.err, e.clock, options, r.log) {}

Session::~Session() {
    if (usb) usb->closeAtExit();
}

bool Session::openLink() {
    result.port.emplace();
    // A simulated instrument has no device; a named one is noted even when it cannot be opened.
    if (choice.kind == PortChoice::Kind::Device) result.port->device = choice.device;
    driver = env.makePort(choice, env.clock);
    if (!driver) {
        host.error("no driver for the chosen port");
        keepFailure(portNotOpened("no driver for the chosen port"), result);
        return false;
    }
    usb.emplace(*driver, host);
    const LogMark mark = markOf(result.log);
    usb->OpenUsbPort();
    if (!usb->isOpen()) {
        keepFailure(portNotOpened(reasonSince(result.log, mark)), result);
        return false;
    }
    // Looked up once the link is open, so a failed open costs no search of the USB devices.
    if (choice.kind == PortChoice::Kind::Search)
        result.port->device = SerialPort::findByDescription(UsbPort::kDescription);
    if (result.port->device) {
        const std::optional<std::string> chosen = chosenSerial(*result.port->device);
        result.port->usbSerial = chosen ? chosen : usbSerialNumberOf(*result.port->device);
    }
    exchange.emplace(*usb, host);
    return true;
}

}  // namespace vrn::cli
