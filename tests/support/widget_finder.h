#pragma once

#include <gtest/gtest.h>

#include <QObject>
#include <QString>

namespace vrn::test {

// The object named name inside root (a window test finds controls by their objectName), as T;
// the test fails, and nullptr comes back, when there is none.
template <typename T>
T* findNamed(const QObject* root, const char* name) {
    T* found = root->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

}  // namespace vrn::test
