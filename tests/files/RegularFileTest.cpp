// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/RegularFile.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <QFile>
#include <QTemporaryDir>
#include <cstring>

namespace {

using Access = RegularFile::Access;
using Status = RegularFile::Status;

class RegularFileTest : public ::testing::Test {
protected:
    QString path(const char* name) const { return dir_.filePath(QString::fromUtf8(name)); }

    QString write(const char* name, const QByteArray& bytes) const
    {
        QFile out(path(name));
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        return out.fileName();
    }

    QTemporaryDir dir_;
};

}  // namespace

// Whatever a playlist names, the open answers at once, and only a regular
// file (also through a link) opens.
TEST_F(RegularFileTest, OnlyRegularFilesOpenAndNothingBlocks)
{
    write("song.mp3", "0123456789");
    ASSERT_EQ(::mkfifo(path("fifo.mp3").toLocal8Bit().constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(path("song.mp3"), path("link.mp3")));
    ASSERT_TRUE(QFile::link(path("fifo.mp3"), path("fifolink.mp3")));
    ASSERT_TRUE(QFile::link(path("nowhere"), path("dangling.mp3")));
    // A socket in the file system: opening it fails on its own.
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(sock, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray socketPath = path("socket.mp3").toLocal8Bit();
    ASSERT_LT(static_cast<std::size_t>(socketPath.size()), sizeof(address.sun_path));
    std::memcpy(address.sun_path, socketPath.constData(),
                static_cast<std::size_t>(socketPath.size()));
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);

    const struct {
        QString path;
        Status status;
    } cases[] = {
        {path("song.mp3"), Status::Open},
        {path("link.mp3"), Status::Open},
        {path("fifo.mp3"), Status::NotRegular},
        {path("fifolink.mp3"), Status::NotRegular},
        {QStringLiteral("/dev/null"), Status::NotRegular},
        {QStringLiteral("/dev/zero"), Status::NotRegular},
        {path("socket.mp3"), Status::Failed},
        {dir_.path(), Status::Folder},
        {path("missing.mp3"), Status::Missing},
        {path("dangling.mp3"), Status::Missing},
        {path("song.mp3/inside"), Status::Missing},
        {QString(), Status::Missing},
    };
    for (const auto& c : cases) {
        for (const Access access : {Access::Read, Access::ReadWrite}) {
            if (c.path.startsWith(QStringLiteral("/dev/")) && access == Access::ReadWrite) {
                continue;  // not the test's to write to
            }
            const RegularFile file(c.path, access);
            const std::string what = c.path.toStdString();
            EXPECT_EQ(file.status(), c.status) << what;
            EXPECT_EQ(file.isOpen(), c.status == Status::Open) << what;
            EXPECT_EQ(file.errorString().isEmpty(), c.status == Status::Open) << what;
        }
    }
    ::close(sock);
}

TEST_F(RegularFileTest, ReadsAreBoundedAndBlockingAgain)
{
    const RegularFile file(write("ten", "0123456789"), Access::Read);
    ASSERT_TRUE(file.isOpen());
    EXPECT_EQ(file.size(), 10);
    EXPECT_EQ(file.currentSize(), 10);

    char bytes[8] = {};
    EXPECT_EQ(file.readAt(6, bytes, sizeof bytes), 4);
    EXPECT_EQ(QByteArray(bytes, 4), QByteArray("6789"));
    EXPECT_EQ(file.readAt(10, bytes, sizeof bytes), 0);
    EXPECT_EQ(file.readAt(-1, bytes, sizeof bytes), -1);

    EXPECT_EQ(file.readAll(10), QByteArray("0123456789"));
    EXPECT_FALSE(file.readAll(9).has_value());
    EXPECT_EQ(RegularFile(write("empty", {}), Access::Read).readAll(0), QByteArray());
}

TEST_F(RegularFileTest, WritesGoWhereTheyAreAskedAndMovesKeepOneOwner)
{
    RegularFile file(write("file", "aaaaaaaa"), Access::ReadWrite);
    ASSERT_TRUE(file.isOpen());
    EXPECT_TRUE(file.writeAt(2, "XY", 2));
    EXPECT_TRUE(file.writeAt(8, "Z", 1));
    EXPECT_EQ(file.readAll(100), QByteArray("aaXYaaaaZ"));
    EXPECT_FALSE(RegularFile(path("file"), Access::Read).writeAt(0, "b", 1));

    RegularFile moved(std::move(file));
    EXPECT_FALSE(file.isOpen());  // NOLINT(bugprone-use-after-move): the point of the test
    EXPECT_TRUE(moved.isOpen());
    RegularFile assigned;
    assigned = std::move(moved);
    EXPECT_EQ(assigned.currentSize(), 9);
}
