// SPDX-License-Identifier: GPL-3.0-or-later
#include "FailingSaveFile.h"
#include "common/FileSizeLimit.h"
#include "common/NonRegularFiles.h"
#include "common/TestSupport.h"
#include "files/IgnoreFileSizeSignal.h"
#include "playlist/PlaylistFolder.h"
#include "playlist/PlaylistStore.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
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

TEST(PlaylistStore, TheExtensionMatchesInAnyCaseAndTheEmptyStemIsListed)
{
    QTemporaryDir dir;
    for (const char* name : {"ROCK.PYL", "Jazz.Pyl", "jazz.pyl", ".pyl", ".hidden.pyl"}) {
        writeFile(dir.filePath(QString::fromLatin1(name)), "x\r\n");
    }
    PlaylistStore store(dir.path());
    EXPECT_EQ(store.savedNames(), (QStringList{QString(), QStringLiteral("Jazz"),
                                               QStringLiteral("jazz"), QStringLiteral("ROCK")}));

    struct Case {
        const char* stem;
        const char* file;  // what a load reads and a save writes
    };
    for (const Case& c :
         {Case{"ROCK", "ROCK.PYL"}, Case{"Jazz", "Jazz.Pyl"}, Case{"jazz", "jazz.pyl"},
          Case{"", ".pyl"}, Case{"rock", "rock.pyl"}, Case{"new", "new.pyl"}}) {
        const QString stem = QString::fromLatin1(c.stem);
        const QString file = dir.filePath(QString::fromLatin1(c.file));
        EXPECT_EQ(store.fileToLoad(stem), file) << c.stem;
        EXPECT_EQ(store.fileToSave(stem), file) << c.stem;
    }
}

TEST(PlaylistStore, PlaylistsOfTheEarlierFolderAreListedAndLoadedButNeverWritten)
{
    QTemporaryDir user;
    QTemporaryDir program;
    writeFile(program.filePath(QStringLiteral("old.pyl")), "/m/old.mp3\r\n");
    writeFile(program.filePath(QStringLiteral("both.pyl")), "/m/program.mp3\r\n");
    writeFile(user.filePath(QStringLiteral("both.pyl")), "/m/user.mp3\r\n");
    writeFile(user.filePath(QStringLiteral("new.pyl")), "/m/new.mp3\r\n");
    writeFile(program.filePath(QStringLiteral("tolvar-radio")), "program");
    PlaylistStore store(user.path(), program.path());

    EXPECT_EQ(store.savedNames(),
              (QStringList{QStringLiteral("both"), QStringLiteral("new"), QStringLiteral("old")}));
    EXPECT_EQ(store.fileToLoad(QStringLiteral("old")), program.filePath(QStringLiteral("old.pyl")));
    EXPECT_EQ(store.fileToLoad(QStringLiteral("both")), user.filePath(QStringLiteral("both.pyl")));
    EXPECT_EQ(store.fileToSave(QStringLiteral("old")), user.filePath(QStringLiteral("old.pyl")));
    // The same folder given twice lists each playlist once.
    EXPECT_EQ(PlaylistStore(user.path(), user.path()).savedNames(),
              (QStringList{QStringLiteral("both"), QStringLiteral("new")}));
}

TEST(PlaylistFolder, SavesInTheUserDataFolderNeverBesideTheProgram)
{
    const testing_support::SettingsSandbox sandbox;
    const QString folder = PlaylistFolder::forThisProgram();
    EXPECT_EQ(folder, QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_NE(QDir(folder).canonicalPath(),
              QDir(QCoreApplication::applicationDirPath()).canonicalPath());
    EXPECT_EQ(PlaylistFolder::earlierForThisProgram(), QCoreApplication::applicationDirPath());
}

// Names that are no regular files, and files too large for a playlist, give
// nothing at once; a large file of long lines keeps only its real entries.
TEST(PlaylistStore, SpecialAndHugeFilesGiveNothingAndNothingWaits)
{
    QTemporaryDir dir;
    PlaylistStore store(dir.path());
    const testing_support::NonRegularFiles special(dir.path(), QStringLiteral(".pyl"));
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
