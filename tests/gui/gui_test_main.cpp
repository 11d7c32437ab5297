// The window tests need the program's application object for the whole run, on the offscreen platform unless
// the caller chose another.
#include <gtest/gtest.h>

#include "gui/app/application.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    vrn::gui::Application app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
