#include "FailingSaveFile.h"
#include "common/FileSizeLimit.h"
#include "common/SpecialFiles.h"
#include "files/IgnoreFileSizeSignal.h"
#include "playlist/PlaylistFolder.h"
#include "playlist/PlaylistStore.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

}  // namespace

TEST(PlaylistStore, FileNameIsFolderStemAndExtension)
{
    PlaylistStore store(QStringLiteral("/opt/tolvar"));
    EXPECT_EQ(store.fileFor(QStringLiteral("rock")), QStringLiteral("/opt/tolvar/rock.pyl"));
    EXPECT_EQ(store.fileFor(QString()), QStringLiteral("/opt/tolvar/.pyl"));
    EXPECT_EQ(PlaylistStore(QStringLiteral("/")).fileFor(QStringLiteral("rock")),
              QStringLiteral("//rock.pyl"));
}

TEST(PlaylistStore, SavedNamesAreCutAtTheLastDotInCaseInsensitiveOrder)
{
    QTemporaryDir dir;
    for (const char* name : {"rock.pyl", "Jazz.pyl", "mix.pyl.bak", "blues.PYL", "notes.txt",
                             ".hidden.pyl", "a.b.pyl"}) {
        writeFile(dir.filePath(QString::fromLatin1(name)), "x\r\n");
    }
    QDir(dir.path()).mkdir(QStringLiteral("folder.pyl"));
    PlaylistStore store(dir.path());
    EXPECT_EQ(store.savedNames(),
              (QStringList{QStringLiteral("a.b"), QStringLiteral("blues"), QStringLiteral("Jazz"),
                           QStringLiteral("mix.pyl"), QStringLiteral("rock")}));
}

TEST(PlaylistStore, WriteThenReadGivesTheEntriesBack)
{
    QTemporaryDir dir;
    PlaylistStore store(dir.path());
    const QString file = store.fileFor(QStringLiteral("rock"));
    QStringList paths;
    for (int i = 0; i < 40000; ++i) {
        paths << QStringLiteral("/music/song %1.mp3").arg(i);
    }
    ASSERT_TRUE(store.write(file, paths));
    EXPECT_EQ(store.read(file), paths);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("rock.pyl")});
}

TEST(PlaylistStore, FailedWriteLeavesTheOldPlaylistWhole)
{
    QTemporaryDir dir;
    PlaylistStore store(dir.path());
    const QString file = store.fileFor(QStringLiteral("rock"));
    writeFile(file, "/old/a.mp3\r\n/old/b.mp3\r\n");

    store.setSaveFileFactory(
        [](const QString& name) { return std::make_unique<FailingSaveFile>(name, 10); });
    EXPECT_FALSE(store.write(file, {QStringLiteral("/new/one.mp3"), QStringLiteral("/new/2.mp3")}));

    EXPECT_EQ(readFile(file), QByteArray("/old/a.mp3\r\n/old/b.mp3\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("rock.pyl")});
}

TEST(PlaylistStore, WriteIntoAFolderThatIsAFileFails)
{
    QTemporaryDir dir;
    const QString notAFolder = dir.filePath(QStringLiteral("plain"));
    writeFile(notAFolder, "x");
    PlaylistStore store(notAFolder);
    EXPECT_FALSE(store.write(store.fileFor(QStringLiteral("rock")), {QStringLiteral("/a.mp3")}));
    EXPECT_EQ(readFile(notAFolder), QByteArray("x"));
}

TEST(PlaylistStore, ReadOfSomethingUnreadableGivesNothing)
{
    QTemporaryDir dir;
    PlaylistStore store(dir.path());
    EXPECT_FALSE(store.read(dir.filePath(QStringLiteral("missing.pyl"))).has_value());
    QDir(dir.path()).mkdir(QStringLiteral("folder.pyl"));
    EXPECT_FALSE(store.read(dir.filePath(QStringLiteral("folder.pyl"))).has_value());
}

TEST(PlaylistFolder, ProgramFolderWhenWritableElseUserFolder)
{
    QTemporaryDir dir;
    const QString user = dir.filePath(QStringLiteral("user"));
    EXPECT_EQ(PlaylistFolder::choose(dir.path(), user), dir.path());

    const QString plain = dir.filePath(QStringLiteral("plain"));
    writeFile(plain, "x");
    EXPECT_EQ(PlaylistFolder::choose(plain, user), user);
    EXPECT_EQ(PlaylistFolder::choose(dir.filePath(QStringLiteral("gone")), user), user);
    EXPECT_EQ(PlaylistFolder::choose(QString(), user), user);
}

// Names that are no regular files, and files too large for a playlist, give
// nothing at once; a large file of long lines keeps only its real entries.
TEST(PlaylistStore, SpecialAndHugeFilesGiveNothingAndNothingWaits)
{
    QTemporaryDir dir;
    PlaylistStore store(dir.path());
    const testing_support::SpecialFiles special(dir.path(), QStringLiteral(".pyl"));
    ASSERT_EQ(special.entries().size(), 5u);
    std::vector<std::pair<QString, const char*>> refused;
    for (const auto& entry : special.entries()) {
        refused.emplace_back(entry.path, entry.kind);
    }
    // Past the limit by one byte; sparse, so it costs no disk.
    const QString huge = dir.filePath(QStringLiteral("huge.pyl"));
    {
        QFile file(huge);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("/a.mp3\r\n");
        ASSERT_TRUE(file.resize(PlaylistStore::kMaxFileBytes + 1));
    }
    refused.emplace_back(huge, "file over the limit");
    for (const auto& [path, kind] : refused) {
        QElapsedTimer clock;
        clock.start();
        EXPECT_FALSE(store.read(path).has_value()) << kind;
        EXPECT_LT(clock.elapsed(), 1000) << kind;
    }

    // At the limit: read, and the long line of zeros after the entry is skipped.
    {
        QFile file(huge);
        ASSERT_TRUE(file.resize(PlaylistStore::kMaxFileBytes));
    }
    const std::optional<QStringList> atLimit = store.read(huge);
    ASSERT_TRUE(atLimit);
    EXPECT_EQ(*atLimit, QStringList{QStringLiteral("/a.mp3")});
}

// Under `ulimit -f` (or on a full disk), a save that does not fit fails (the
// window then says "Error saving file"), the program goes on and the old
// playlist is whole: the failure shows only when the buffered bytes go out,
// and the half-written file must not be renamed over the old one then.
TEST(PlaylistStore, FileSizeLimitFailsTheSaveAndKeepsTheOldPlaylist)
{
    IgnoreFileSizeSignal();
    QTemporaryDir dir;
    PlaylistStore store(dir.path());
    const QString file = store.fileFor(QStringLiteral("rock"));
    writeFile(file, "/old.mp3\r\n");
    QStringList many;
    for (int i = 0; i < 100; ++i) {
        many << QStringLiteral("/music/song %1.mp3").arg(i);
    }
    bool written = true;
    {
        const testing_support::FileSizeLimit limit(1000);
        ASSERT_TRUE(limit.set());
        written = store.write(file, many);
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(readFile(file), QByteArray("/old.mp3\r\n"));
    EXPECT_TRUE(store.write(file, many));
}
