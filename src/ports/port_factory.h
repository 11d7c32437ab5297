#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/link/port.h"
#include "ports/port_info.h"
#include "ports/searching_port.h"

namespace vrn {

// The driver for the real instrument. An empty device finds the bridge by its description on
// every open (serial tty first, then raw FTDI), doing as several says when more than one is
// attached; "serial:NUMBER" finds it by its USB serial number; a name from listHardwarePorts()
// opens that port: a serial device path (/dev/ttyUSB0, or the simulator's pty) or a raw bridge
// ("ftdi:BUS:ADDRESS"). Serial ports need a QCoreApplication.
std::unique_ptr<Port> makeHardwarePort(const std::string& device,
                                       SearchingPort::Several several = SearchingPort::Several::TakeFirst);

// Every serial port and FTDI bridge seen, the instrument's marked (a bridge held by the kernel's
// driver shows up twice: as its tty and as its USB device).
std::vector<HardwarePortInfo> listHardwarePorts();

}  // namespace vrn
