// End-to-end tests: real ports on pseudo-terminals, the simulator as a child process, real time.
#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char** argv) {
    // QSerialPort and QProcess want an application object in the process.
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
