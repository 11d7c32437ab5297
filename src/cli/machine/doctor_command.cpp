#include <QJsonArray>
#include <QJsonObject>
#include <ostream>

#include "cli/command_definition.h"
#include "cli/session.h"

namespace vrn::cli {
namespace {

constexpr CommandText kDoctor{
    "doctor", "check, one line each, what stands between this PC and the instrument",
    "Looks at the USB devices (sysfs), their nodes (/dev) and the programs holding them\n"
    "(/proc) and prints one line per check: \"NAME: ok\", or what is wrong and, after\n"
    "\"mend:\", the command that mends it. The checks: instrument (a USB device that calls\n"
    "itself \"VARNO 41700 USB\" is plugged in), one instrument, driver (the kernel's ftdi_sio\n"
    "made a tty of it, or VRNComm drives it through libftdi), brltty (has not taken it),\n"
    "access (this user may open its node), other programs (none holds it open, such as\n"
    "ModemManager), latency timer. Exit status 0 when the instrument can be opened, 1 when not.\n"
    "\n"
    "example:\n"
    "  vrncomm-cli doctor\n"};

int runDoctor(Session& s) {
    if (!s.env.diagnoseUsb) {
        s.host.error("doctor cannot look at the USB devices here");
        return kExitFailed;
    }
    const UsbDiagnosis diagnosis = s.env.diagnoseUsb();
    QJsonArray checks;
    for (const UsbCheck& c : diagnosis.checks)
        checks.append(
            QJsonObject{{"name", QString::fromStdString(c.name)},
                        {"ok", c.ok},
                        {"finding", QString::fromStdString(c.finding)},
                        {"mend", c.ok ? QJsonValue(QJsonValue::Null) : QString::fromStdString(c.remedy)}});
    s.result.data = {{"canOpen", diagnosis.canOpen}, {"checks", checks}};
    // The checks are the command's result: printed even with --quiet, as the diff commands do.
    for (const std::string& line : doctorLines(diagnosis))
        s.env.out << line << '\n';
    return diagnosis.canOpen ? kExitOk : kExitFailed;
}

}  // namespace

void addDoctorCommand(CLI::App& app, CommandRunner& chosen) {
    runs(addCommand(app, kDoctor), chosen, runDoctor);
}

}  // namespace vrn::cli
