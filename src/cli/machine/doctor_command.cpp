#include "cli/machine/doctor_command.h"

#include <QJsonArray>
#include <QJsonObject>
#include <ostream>

#include "cli/session.h"

namespace vrn::cli {

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

}  // namespace vrn::cli
