#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <functional>
#include <memory>

namespace vrn::test {

// How long a window test waits for a modal dialog before it gives up.
inline constexpr int kModalDeadlineMs = 10000;

// Ends a dialog's modal loop whatever its buttons (a message box ignores a plain close).
inline void forceClose(QWidget* modal) {
    if (auto* dialog = qobject_cast<QDialog*>(modal))
        dialog->done(QDialog::Rejected);
    else
        modal->close();
}

// Runs user on the first visible modal dialog of type T (the given one, when a dialog is named)
// as soon as its modal loop runs. The test fails, instead of hanging, if none comes up within the
// deadline (naming the dialog awaited and the one up instead) or if the dialog is still open a
// deadline after user ran; either dialog is then closed so that its exec() returns.
template <class T = QDialog>
void whenModal(const QString& awaited, std::function<void(T&)> user, const QDialog* only = nullptr) {
    auto* poll = new QTimer;
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, started, awaited, user, only] {
        QWidget* modal = QApplication::activeModalWidget();
        T* dialog = qobject_cast<T*>(modal);
        if (dialog && dialog->isVisible() && (!only || dialog == only)) {
            poll->stop();
            poll->deleteLater();
            auto* watchdog = new QTimer;
            watchdog->setSingleShot(true);
            QObject::connect(dialog, &QDialog::finished, watchdog, &QObject::deleteLater);
            QObject::connect(watchdog, &QTimer::timeout, [watchdog, dialog, awaited] {
                ADD_FAILURE() << "the \"" << awaited.toStdString() << "\" dialog was still open "
                              << kModalDeadlineMs << " ms after the test acted on it";
                watchdog->deleteLater();
                forceClose(dialog);
            });
            watchdog->start(kModalDeadlineMs);
            user(*dialog);
            return;
        }
        if (started->elapsed() < kModalDeadlineMs) return;
        poll->stop();
        poll->deleteLater();
        ADD_FAILURE() << "no \"" << awaited.toStdString() << "\" dialog came up within " << kModalDeadlineMs
                      << " ms"
                      << (modal ? ", \"" + modal->windowTitle().toStdString() + "\" is up instead" : "");
        if (modal) forceClose(modal);
    });
    poll->start();
}

// Runs user against the given dialog once it is shown modally.
template <class T>
void whenShown(T& dialog, std::function<void()> user) {
    whenModal<QDialog>(
        dialog.windowTitle(), [user](QDialog&) { user(); }, &dialog);
}

}  // namespace vrn::test
