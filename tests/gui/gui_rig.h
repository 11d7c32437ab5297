#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "core/link/virtual_clock.h"
#include "gui/app/form_main.h"
#include "modal.h"
#include "ports/instrument_events.h"
#include "sim/simulated_device.h"
#include "widget_finder.h"

namespace vrn::test {

// The main window on the simulated instrument and a virtual clock, with its preferences file in a
// fresh folder.
struct GuiRig {
    QTemporaryDir dir;
    VirtualClock clock;
    sim::SimulatedDevice device{clock};
    QString prefsPath = dir.path() + QStringLiteral("/VRNComm/vrncomm.ini");
    InstrumentEvents* events = nullptr;  // the machine's plug-in and unplug events, when watched
    std::unique_ptr<gui::TFormMain> form;

    void start() { form = std::make_unique<gui::TFormMain>(clock, device.port, prefsPath, events); }

    // A control of the window, or of another root such as a dialog, by its name.
    template <typename T>
    T* find(const char* name) {
        return findNamed<T>(form.get(), name);
    }
    template <typename T>
    T* find(const QObject* root, const char* name) {
        return findNamed<T>(root, name);
    }
};

// Runs inspect on the next modal box as soon as it is up, then closes it with the given button.
inline void onNextBox(std::function<void(QMessageBox&)> inspect, QMessageBox::StandardButton answer) {
    whenModal<QMessageBox>(QStringLiteral("message box"), [inspect, answer](QMessageBox& box) {
        if (inspect) inspect(box);
        if (QAbstractButton* button = box.button(answer)) {
            button->click();
            return;
        }
        ADD_FAILURE() << "the box \"" << box.text().toStdString() << "\" has no such button";
        box.reject();
    });
}

}  // namespace vrn::test
