#include "ports/disk_file_store.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "fifo_reader.h"
#include "gui/app/file_names.h"

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
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"g.set", "g.ssp"}))
            << "no temporary left";
    }

    // A missing folder is refused, as a single file's save refuses it, and is not made.
    const std::vector<FileStore::FileWrite> group = {
        {at("g.ssp"), fresh}, {at("g.set"), fresh}, {at("new/g.scr"), fresh}};
    EXPECT_FALSE(store.writeFiles(group, failed, error));
    EXPECT_EQ(failed, at("new/g.scr"));
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(at("new"))));
    for (const char* name : {"g.ssp", "g.set"})
        EXPECT_EQ(store.readFile(at(name), 10, error), old) << name;
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2) << "no temporary left";
}

// What a save does with a target that is not a regular file: a FIFO and a character device are
// written in place and stay what they are; a folder, a block device and a socket are refused, found
// out by canCreate already. A link to a regular file stays a link whose file is replaced.
TEST(DiskFileStore, StreamsAreWrittenInPlaceAndWhatNoFileCanReplaceIsRefused) {
    QTemporaryDir dir;
    const std::string folder = QFile::encodeName(dir.path()).toStdString();
    DiskFileStore store;
    std::string error;
    const std::vector<uint8_t> bytes(70000, 0x5A);  // more than a pipe holds at once

    const std::string fifo = folder + "/fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    test::FifoReader reader(fifo, bytes.size(), std::chrono::seconds(10));
    EXPECT_TRUE(store.canCreate(fifo, error)) << error;
    EXPECT_TRUE(store.writeFile(fifo, bytes, error)) << error;
    EXPECT_EQ(reader.wait(), bytes);

    // A null device of our own: needs root (CAP_MKNOD), as the tests run in CI.
    const std::string device = folder + "/null";
    const bool haveDevice = ::mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    if (haveDevice) {
        EXPECT_TRUE(store.canCreate(device, error)) << error;
        EXPECT_TRUE(store.writeFile(device, bytes, error)) << error;
        std::string failed;
        const std::vector<FileStore::FileWrite> group = {{folder + "/g.ssp", {1}}, {device, {2}}};
        EXPECT_TRUE(store.writeFiles(group, failed, error)) << error;
    }

    const std::string link = folder + "/link.set";
    ASSERT_TRUE(store.writeFile(folder + "/real.set", std::vector<uint8_t>{1}, error));
    std::filesystem::create_symlink("real.set", link);
    EXPECT_TRUE(store.writeFile(link, std::vector<uint8_t>{7, 8}, error)) << error;

    const std::string socketPath = folder + "/socket";
    const int sock = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
    ASSERT_EQ(::bind(sock, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    const std::string block = folder + "/block";
    const bool haveBlock = ::mknod(block.c_str(), S_IFBLK | 0600, makedev(7, 250)) == 0;

    struct Refused {
        const char* name;
        std::string path;
        const char* says;
    };
    std::vector<Refused> refused = {{"a folder", folder + "/sub", "folder"},
                                    {"a link to a folder", folder + "/sublink", "folder"},
                                    {"a socket", socketPath, "socket"}};
    ASSERT_TRUE(std::filesystem::create_directory(folder + "/sub"));
    std::filesystem::create_directory_symlink("sub", folder + "/sublink");
    if (haveBlock) refused.push_back({"a block device", block, "block device"});
    for (const Refused& r : refused) {
        SCOPED_TRACE(r.name);
        error.clear();
        EXPECT_FALSE(store.canCreate(r.path, error));
        EXPECT_NE(error.find(r.says), std::string::npos) << error;
        error.clear();
        EXPECT_FALSE(store.writeFile(r.path, bytes, error));
        EXPECT_NE(error.find(r.says), std::string::npos) << error;
        std::string failed;
        const std::vector<FileStore::FileWrite> group = {{folder + "/g.ssp", {3}}, {r.path, {4}}};
        EXPECT_FALSE(store.writeFiles(group, failed, error));
        EXPECT_EQ(failed, r.path);
    }
    ::close(sock);

    struct stat info {};
    ASSERT_EQ(::lstat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode)) << "the FIFO is still a FIFO";
    if (haveDevice) {
        ASSERT_EQ(::lstat(device.c_str(), &info), 0);
        EXPECT_TRUE(S_ISCHR(info.st_mode)) << "the device is still a device";
    }
    ASSERT_EQ(::lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode)) << "the link is still a link";
    EXPECT_EQ(store.readFile(folder + "/real.set", 10, error), (std::vector<uint8_t>{7, 8}));
    ASSERT_EQ(::lstat(socketPath.c_str(), &info), 0);
    EXPECT_TRUE(S_ISSOCK(info.st_mode));
    const QStringList hidden =
        QDir(dir.path())
            .entryList(QStringList{QStringLiteral(".*.*")}, QDir::Files | QDir::Hidden | QDir::System);
    EXPECT_TRUE(hidden.isEmpty()) << "no temporary left: " << hidden.join(' ').toStdString();
}

// Names are bytes: one that is not UTF-8 names its own file, and two such names never meet in one
// file, whether the names come from a command line or from a dialog.
TEST(DiskFileStore, NamesThatAreNotUtf8StayTheirOwnFiles) {
    QTemporaryDir dir;
    const std::string folder = QFile::encodeName(dir.path()).toStdString() + "/";
    const std::vector<std::string> names = {"st\xe9.set", "st\xea.set", "st\xc3\xa9.set", "\xff\xfe"};
    DiskFileStore store;
    std::string error;
    for (size_t k = 0; k < names.size(); ++k)
        ASSERT_TRUE(store.writeFile(folder + names[k], std::vector<uint8_t>(k + 1, 0x41), error))
            << k << error;
    std::vector<std::string> onDisk;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        onDisk.push_back(entry.path().filename().string());
    std::sort(onDisk.begin(), onDisk.end());
    std::vector<std::string> expected = names;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(onDisk, expected);
    for (size_t k = 0; k < names.size(); ++k) {
        EXPECT_EQ(store.readFile(folder + names[k], 100, error), std::vector<uint8_t>(k + 1, 0x41)) << k;
        // A dialog's path for the file, as Qt reads its name, leads back to the same bytes when
        // no other name of the folder reads the same; when one does, neither is guessed at.
        const std::string back =
            gui::localFileName(QFile::decodeName(QByteArray::fromStdString(folder + names[k])));
        if (k < 2) {
            EXPECT_NE(back, folder + names[0]) << k;
            EXPECT_NE(back, folder + names[1]) << k;
        } else {
            EXPECT_EQ(back, folder + names[k]) << k;
        }
    }
    // A new file in a folder whose name is not UTF-8: the folder found, the new name as typed.
    ASSERT_TRUE(std::filesystem::create_directory(folder + "d\xe9"));
    EXPECT_EQ(gui::localFileName(QFile::decodeName(QByteArray::fromStdString(folder + "d\xe9")) +
                                 QStringLiteral("/n\u00e9u.txt")),
              folder + "d\xe9/n\xc3\xa9u.txt");
}

// Whether a save can work is found out without harm to a file already there.
TEST(DiskFileStore, CanCreateSaysWhyAndTouchesNothing) {
    QTemporaryDir dir;
    const std::string folder = QFile::encodeName(dir.path()).toStdString();
    DiskFileStore store;
    std::string error;
    ASSERT_TRUE(store.writeFile(folder + "/old.txt", std::vector<uint8_t>{'o', 'l', 'd'}, error));
    struct Row {
        const char* name;
        std::string path;
        bool can;
    };
    const std::vector<Row> rows = {
        {"a new file", folder + "/new.txt", true},
        {"an old file, kept whole", folder + "/old.txt", true},
        {"a folder", folder, false},
        {"a missing folder", folder + "/no/such.txt", false},
        {"no name", "", false},
    };
    for (const Row& row : rows) {
        error.clear();
        EXPECT_EQ(store.canCreate(row.path, error), row.can) << row.name;
        EXPECT_EQ(error.empty(), row.can) << row.name << ": " << error;
    }
    EXPECT_EQ(store.readFile(folder + "/old.txt", 10, error), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("old.txt")})
        << "no probe left, nothing created";
}

TEST(RawOptionValue, TheBytesAsGiven) {
    char prog[] = "vrncomm", trace[] = "--trace", file[] = "t\xe9.txt", port[] = "--port=/dev/tty\xe9",
         last[] = "--trace";
    char* argv[] = {prog, trace, file, port, last};
    EXPECT_EQ(gui::rawOptionValue(3, argv, "trace"), std::optional<std::string>("t\xe9.txt"));
    EXPECT_EQ(gui::rawOptionValue(4, argv, "port"), std::optional<std::string>("/dev/tty\xe9"));
    EXPECT_EQ(gui::rawOptionValue(1, argv, "trace"), std::nullopt);
    char* lonely[] = {prog, last};
    EXPECT_EQ(gui::rawOptionValue(2, lonely, "trace"), std::nullopt);
}

}  // namespace
}  // namespace vrn
