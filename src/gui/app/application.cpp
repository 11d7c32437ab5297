#include "gui/app/application.h"

#include <QMessageBox>
#include <exception>

namespace vrn::gui {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

namespace {

void showException(const QString& text) {
    QMessageBox box(QMessageBox::Critical, QString::fromLatin1(Application::kExceptionTitle), text,
                    QMessageBox::Ok, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}  // namespace

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        showException(QString::fromUtf8(e.what()));
    } catch (...) {
        showException(QString::fromLatin1(kUnknownExceptionText));
    }
    return false;
}

}  // namespace vrn::gui
