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

TEST(DiskFileStore, FilesThatBelongTogetherReplaceTheirOldOnesAllOrNone) {
    QTemporaryDir dir;
    const auto at = [&dir](const char* name) { return (dir.path() + QLatin1Char('/') + name).toStdString(); };
    DiskFileStore store;
    std::string error, failed;
    const std::vector<uint8_t> old = {9};
    ASSERT_TRUE(store.writeFile(at("g.ssp"), old, error));
    ASSERT_TRUE(store.writeFile(at("g.set"), old, error));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("g.pgm")));
    const std::vector<uint8_t> fresh = {1, 2};

    const struct {
        const char* name;
        std::string blocked;  // the member that cannot be written
    } rows[] = {
        {"a folder where the last member goes", at("g.pgm")},
        {"a member where a file stands for its folder", at("g.set/g.scr")},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const std::vector<FileStore::FileWrite> group = {
            {at("g.ssp"), fresh}, {at("g.set"), fresh}, {r.blocked, fresh}};
        EXPECT_FALSE(store.writeFiles(group, failed, error));
        EXPECT_EQ(failed, r.blocked);
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(store.readFile(at("g.ssp"), 10, error), old);
        EXPECT_EQ(store.readFile(at("g.set"), 10, error), old);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList{"g.set", "g.ssp"}))
            << "no temporary left";
    }

    // A missing folder is made.
    const std::vector<FileStore::FileWrite> group = {
        {at("g.ssp"), fresh}, {at("g.set"), fresh}, {at("new/g.scr"), fresh}};
    ASSERT_TRUE(store.writeFiles(group, failed, error)) << error;
    for (const char* name : {"g.ssp", "g.set", "new/g.scr"})
        EXPECT_EQ(store.readFile(at(name), 10, error), fresh) << name;
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2) << "no temporary left";
}

}  // namespace
}  // namespace vrn
