// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScriptedPrompter.h"
#include "base/FileExists.h"
#include "files/RegularFile.h"
#include "playback/AcceptedPlaylist.h"
#include "playlist/FolderChain.h"
#include "playlist/FolderListing.h"
#include "playlist/PlaylistBuilder.h"
#include "playlist/PlaylistStore.h"
#include "playlist/PylFormat.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QTemporaryDir>

namespace {

// Makes a file or folder under its very bytes, as an old collection has it.
void makeFileAt(const QByteArray& path, const QByteArray& content)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0) << path.toStdString();
    ASSERT_EQ(::write(fd, content.constData(), static_cast<std::size_t>(content.size())),
              content.size());
    ::close(fd);
}

// Names whose bytes are no UTF-8, beside one that is, with the way the
// radio shows them: bytes that are no UTF-8 are read as the Windows code
// page that wrote them.
const struct {
    QByteArray bytes;
    const char* shown;  // UTF-8
} kNames[] = {
    {"caf\xe9.mp3", "caf\xc3\xa9.mp3"},
    {"\x93quoted\x94 \x80.wav", "\xe2\x80\x9cquoted\xe2\x80\x9d \xe2\x82\xac.wav"},
    {"over\xc0\xaflong.mid", "over\xc3\x80\xc2\xaflong.mid"},
    {"half \xed\xb3\xa9 surrogate.mp2", "half \xc3\xad\xc2\xb3\xc2\xa9 surrogate.mp2"},
    {"cut \xe2\x82.mp3", "cut \xc3\xa2\xe2\x80\x9a.mp3"},
    {"Grieg \xc3\x85se.mid", "Grieg \xc3\x85se.mid"},
};

class UndecodableNames : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = QFile::encodeName(dir_.path()) + "/Alb\xfcm";
        ASSERT_EQ(::mkdir(folder_.constData(), 0700), 0);
        for (const auto& name : kNames) {
            makeFileAt(folder_ + '/' + name.bytes, "music of " + name.bytes);
        }
    }

    // QTemporaryDir cannot remove files it cannot name.
    void TearDown() override
    {
        for (const auto& name : kNames) {
            ::unlink((folder_ + '/' + name.bytes).constData());
        }
        ::rmdir(folder_.constData());
    }

    QTemporaryDir dir_;
    QByteArray folder_;
};

}  // namespace

// Every file the folder lists opens under the name the listing gave, and the
// list shows every name readably.
TEST_F(UndecodableNames, EveryListedFileOpensAndShowsReadably)
{
    FolderChain chain;
    ASSERT_TRUE(chain.open(dir_.path()));
    const QStringList shownFolders = chain.model().stringList();
    ASSERT_FALSE(shownFolders.isEmpty());
    EXPECT_EQ(shownFolders.last().trimmed(), QString::fromUtf8("Alb\xc3\xbcm"));
    const QString album = chain.pathAt(static_cast<int>(shownFolders.size()) - 1);
    ASSERT_TRUE(chain.open(album)) << album.toStdString();

    AcceptedPlaylist accepted;
    ScriptedPrompter prompter;
    PlaylistStore store{dir_.path()};
    PlaylistBuilder builder{accepted, prompter, store};
    builder.listFolder(chain.folder());
    ASSERT_EQ(builder.folderFiles().rowCount(), static_cast<int>(std::size(kNames)));
    builder.moveAll();
    ASSERT_EQ(builder.playlist().count(), static_cast<int>(std::size(kNames)));

    QStringList shown;
    for (int row = 0; row < builder.playlist().count(); ++row) {
        const QString path = builder.playlist().pathAt(row);
        const RegularFile file(path, RegularFile::Access::Read);
        EXPECT_TRUE(file.isOpen()) << row << ": " << file.errorString().toStdString();
        EXPECT_TRUE(FileExists(path)) << row;
        const QString listed = builder.folderFiles()
                                   .data(builder.folderFiles().index(row), Qt::DisplayRole)
                                   .toString();
        EXPECT_EQ(
            builder.playlist().data(builder.playlist().index(row), Qt::DisplayRole).toString(),
            listed);
        shown << listed;
    }
    for (const auto& name : kNames) {
        EXPECT_TRUE(shown.contains(QString::fromUtf8(name.shown)))
            << name.shown << " in " << shown.join(QStringLiteral(" | ")).toStdString();
    }

    // Saved in a playlist and read back, the names still open.
    const QStringList again = PylFormat::decode(PylFormat::encode(builder.playlist().paths()));
    ASSERT_EQ(again, builder.playlist().paths());
    EXPECT_TRUE(RegularFile(again.first(), RegularFile::Access::Read).isOpen());
}
