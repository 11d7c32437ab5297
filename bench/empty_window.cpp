// The start-up benchmark's baseline: an empty Qt main window, started, painted once and closed
// exactly as vrncomm --quit-after-start is.
#include <QApplication>
#include <QMainWindow>

#include "gui/app/close_after_first_paint.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(570, 671);
    new vrn::gui::CloseAfterFirstPaint(&window);
    window.show();
    return QApplication::exec();
}
