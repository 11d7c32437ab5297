#pragma once

#include <QApplication>

namespace vrn::gui {

// The application object. An exception that escapes a handler is shown in a box and the run
// goes on with the next event, instead of ending the program with everything unsaved.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    static constexpr const char* kExceptionTitle = "VRNComm 3.0";
    static constexpr const char* kUnknownExceptionText = "An unexpected error occurred.";
};

}  // namespace vrn::gui
