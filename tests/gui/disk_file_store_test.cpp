#include "ports/disk_file_store.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace vrn {
namespace {

TEST(DiskFileStore, WritesReplaceWholeFilesAndReadsStopAtTheLimit) {
    QTemporaryDir dir;
    const std::string path = (dir.path() + QStringLiteral("/a.set")).toStdString();
    DiskFileStore store;
    std::string error;
    const std::vector<uint8_t> first(990, 0x11), second = {1, 2, 3};
    ASSERT_TRUE(store.writeFile(path, first, error)) << error;
    ASSERT_TRUE(store.writeFile(path, second, error)) << error;
    EXPECT_EQ(QFile(QString::fromStdString(path)).size(), 3)
        << "the old file is replaced, not overwritten in place";
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.set")})
        << "no temporary left";
    EXPECT_EQ(store.readFile(path, 990, error), second);

    ASSERT_TRUE(store.writeFile(path, first, error));
    const auto head = store.readFile(path, 10, error);
    ASSERT_TRUE(head.has_value());
    EXPECT_EQ(head->size(), 10u);
}

TEST(DiskFileStore, FailuresSayWhy) {
    QTemporaryDir dir;
    DiskFileStore store;
    std::string error;
    EXPECT_FALSE(store.readFile((dir.path() + QStringLiteral("/none.set")).toStdString(), 990, error));
    EXPECT_FALSE(error.empty());
    error.clear();
    const std::vector<uint8_t> bytes(4, 0);
    EXPECT_FALSE(
        store.writeFile((dir.path() + QStringLiteral("/no/such/dir.set")).toStdString(), bytes, error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace vrn
