#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <memory>

#include "core/link/virtual_clock.h"
#include "gui/app/form_main.h"
#include "sim/simulated_device.h"

namespace vrn::test {

// The main window on the simulated instrument and a virtual clock, with its preferences file in a
// fresh folder.
struct GuiRig {
    QTemporaryDir dir;
    VirtualClock clock;
    sim::SimulatedDevice device{clock};
    QString prefsPath = dir.path() + QStringLiteral("/VRNComm/vrncomm.ini");
    std::unique_ptr<gui::TFormMain> form;

    void start() { form = std::make_unique<gui::TFormMain>(clock, device.port, prefsPath); }
};

// Runs inspect on the next modal box as soon as it is up, then closes it with the given button.
inline void onNextBox(std::function<void(QMessageBox&)> inspect, QMessageBox::StandardButton answer) {
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, inspect, answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) return;
        poll->stop();
        poll->deleteLater();
        if (inspect) inspect(*box);
        box->button(answer)->click();
    });
    poll->start();
}

}  // namespace vrn::test
