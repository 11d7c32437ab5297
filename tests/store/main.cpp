// The record archive's tests: real SQLite files in temporary folders, the command-line tool in
// process on virtual time.
#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char** argv) {
    // Qt SQL loads its drivers as plugins, which wants an application object.
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
