// SPDX-License-Identifier: GPL-3.0-or-later
#include "FailingSaveFile.h"
#include "ScriptedPrompter.h"
#include "base/RandomSource.h"
#include "playback/AcceptedPlaylist.h"
#include "playlist/PlaylistBuilder.h"
#include "playlist/PlaylistStore.h"
#include "settings/RadioSettings.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

const Prompt kNameMissing{QStringLiteral("Please enter a name to save list."),
                          QStringLiteral("Name missing"), PromptButtons::Ok, PromptIcon::Stop,
                          true};
const Prompt kNoneSelected{QStringLiteral("No playlists have been saved yet. Or none selected."),
                           QStringLiteral("No lists saved, or selected."), PromptButtons::Ok,
                           PromptIcon::Stop, true};
const Prompt kNoneFound{QStringLiteral("None found."), QStringLiteral("None found"),
                        PromptButtons::Ok, PromptIcon::Stop, false};
const Prompt kSaveError{QStringLiteral("Error saving file"), QStringLiteral("Error"),
                        PromptButtons::Ok, PromptIcon::Stop, false};

Prompt overwrite(const QString& stem)
{
    return {QStringLiteral("Overwrite existing file ") + stem + QStringLiteral("?"),
            QStringLiteral("File already exists!"), PromptButtons::YesNo, PromptIcon::Stop, false};
}

class PlaylistBuilderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    void build(const QStringList& paths) { builder.playlist().replace(paths); }
    QStringList names() { return builder.savedNames().stringList(); }
    QString pyl(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }

    QTemporaryDir dir;
    AcceptedPlaylist playlist;
    ScriptedPrompter prompter;
    PlaylistStore store{dir.path()};
    PlaylistBuilder builder{playlist, prompter, store};
};

}  // namespace

TEST_F(PlaylistBuilderTest, MissingNamesAreRefusedWithABeep)
{
    build({QStringLiteral("/m/a.mp3")});
    for (const QString& name :
         {QStringLiteral("(playlist name)"), QString(), QStringLiteral("(rock")}) {
        prompter.asked.clear();
        builder.SaveList(name);
        EXPECT_EQ(prompter.asked, QList<Prompt>{kNameMissing});

        prompter.asked.clear();
        playlist.setSongIndex(7);
        builder.GetFiles(name);
        EXPECT_EQ(prompter.asked, QList<Prompt>{kNoneSelected});
        EXPECT_EQ(playlist.SongIndex(), 1);
    }
    EXPECT_TRUE(names().isEmpty());
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_EQ(builder.playlist().paths(), QStringList{QStringLiteral("/m/a.mp3")});
}

TEST_F(PlaylistBuilderTest, SurroundingSpacesAreTrimmedFromTheFileNameButKeptInTheList)
{
    build({QStringLiteral(" /m/a.mp3 "), QStringLiteral("/m/b.mp3")});
    builder.SaveList(QStringLiteral("  rock  "));
    EXPECT_TRUE(prompter.asked.isEmpty());
    EXPECT_EQ(readFile(pyl("rock.pyl")), QByteArray("/m/a.mp3\r\n/m/b.mp3\r\n"));
    EXPECT_EQ(names(), QStringList{QStringLiteral("  rock  ")});

    builder.SaveList(QStringLiteral("  rock  "));
    EXPECT_EQ(prompter.asked, QList<Prompt>{overwrite(QStringLiteral("rock"))});
    // Saving again under a listed name lists it a second time.
    EXPECT_EQ(names(), (QStringList{QStringLiteral("  rock  "), QStringLiteral("  rock  ")}));
}

TEST_F(PlaylistBuilderTest, AnsweringNoToOverwriteChangesNothing)
{
    writeFile(pyl("rock.pyl"), "/old.mp3\r\n");
    build({QStringLiteral("/new.mp3")});
    prompter.answers = {PromptAnswer::No};
    builder.SaveList(QStringLiteral("rock"));
    EXPECT_EQ(prompter.asked, QList<Prompt>{overwrite(QStringLiteral("rock"))});
    EXPECT_EQ(readFile(pyl("rock.pyl")), QByteArray("/old.mp3\r\n"));
    EXPECT_TRUE(names().isEmpty());

    prompter.answers = {PromptAnswer::Yes};
    builder.SaveList(QStringLiteral("rock"));
    EXPECT_EQ(readFile(pyl("rock.pyl")), QByteArray("/new.mp3\r\n"));
}

TEST_F(PlaylistBuilderTest, SpacesOnlyNameSavesToADotPylFileThatLoadsBack)
{
    build({QStringLiteral("/m/a.mp3")});
    builder.SaveList(QStringLiteral("   "));
    EXPECT_TRUE(prompter.asked.isEmpty());
    EXPECT_EQ(readFile(pyl(".pyl")), QByteArray("/m/a.mp3\r\n"));
    EXPECT_EQ(names(), QStringList{QStringLiteral("   ")});

    builder.clear();
    builder.GetFiles(QStringLiteral(" "));
    EXPECT_EQ(builder.playlist().paths(), QStringList{QStringLiteral("/m/a.mp3")});
}

TEST_F(PlaylistBuilderTest, EmptyPlaylistWritesAnEmptyFileThatCountsAsAbsent)
{
    builder.SaveList(QStringLiteral("empty"));
    ASSERT_TRUE(QFile::exists(pyl("empty.pyl")));
    EXPECT_EQ(QFileInfo(pyl("empty.pyl")).size(), 0);

    build({QStringLiteral("/m/keep.mp3")});
    builder.GetFiles(QStringLiteral("empty"));
    EXPECT_EQ(prompter.asked, QList<Prompt>{kNoneFound});
    EXPECT_EQ(builder.playlist().paths(), QStringList{QStringLiteral("/m/keep.mp3")});

    prompter.asked.clear();
    builder.SaveList(QStringLiteral("empty"));
    EXPECT_TRUE(prompter.asked.isEmpty());
    EXPECT_EQ(readFile(pyl("empty.pyl")), QByteArray("/m/keep.mp3\r\n"));
}

TEST_F(PlaylistBuilderTest, LoadSkipsBlankLinesTrimsAndSetsTheCurrentSong)
{
    writeFile(pyl("mixed.pyl"), "\r\n   \r\n  /m/one.mp3  \r\nplain.mp3\r\n\r\n/m/x/three.wav");
    build({QStringLiteral("/old.mp3")});
    playlist.setSongIndex(5);
    builder.GetFiles(QStringLiteral("mixed "));
    EXPECT_TRUE(prompter.asked.isEmpty());
    EXPECT_EQ(builder.playlist().paths(),
              (QStringList{QStringLiteral("/m/one.mp3"), QStringLiteral("plain.mp3"),
                           QStringLiteral("/m/x/three.wav")}));
    const QAbstractItemModel& model = builder.playlist();
    EXPECT_EQ(model.data(model.index(0, 0), Qt::DisplayRole), QStringLiteral("one.mp3"));
    // A line without a separator is both the display name and the path.
    EXPECT_EQ(model.data(model.index(1, 0), Qt::DisplayRole), QStringLiteral("plain.mp3"));
    EXPECT_EQ(playlist.SongFile(), QStringLiteral("/m/one.mp3"));
    EXPECT_EQ(playlist.SongIndex(), 1);
    EXPECT_TRUE(names().isEmpty());
    EXPECT_FALSE(playlist.ListAccepted());
}

// Saved with CR LF; written by other editors with LF alone, or a bare CR.
TEST_F(PlaylistBuilderTest, BareLineFeedsAndCarriageReturnsEndLinesToo)
{
    writeFile(pyl("unix.pyl"), "/m/a.mp3\n/m/b.mp3\n");
    builder.GetFiles(QStringLiteral("unix"));
    EXPECT_EQ(builder.playlist().paths(),
              (QStringList{QStringLiteral("/m/a.mp3"), QStringLiteral("/m/b.mp3")}));

    writeFile(pyl("mac.pyl"), "/m/a.mp3\r/m/b.mp3\r");
    builder.GetFiles(QStringLiteral("mac"));
    EXPECT_EQ(builder.playlist().paths(),
              (QStringList{QStringLiteral("/m/a.mp3"), QStringLiteral("/m/b.mp3")}));
}

TEST_F(PlaylistBuilderTest, ABackupCopyIsListedButLoadsNothing)
{
    writeFile(pyl("mix.pyl.bak"), "/m/a.mp3\r\n");
    builder.listSavedNames();
    EXPECT_EQ(names(), QStringList{QStringLiteral("mix.pyl")});
    build({QStringLiteral("/keep.mp3")});
    playlist.setSongIndex(3);
    builder.GetFiles(QStringLiteral("mix.pyl"));
    EXPECT_EQ(prompter.asked, QList<Prompt>{kNoneFound});
    EXPECT_EQ(playlist.SongIndex(), 1);
    EXPECT_EQ(builder.playlist().paths(), QStringList{QStringLiteral("/keep.mp3")});
}

TEST_F(PlaylistBuilderTest, AnyCaseOfTheExtensionLoadsAndIsSavedOver)
{
    writeFile(pyl("ROCK.PYL"), "/m/a.mp3\r\n");
    builder.listSavedNames();
    ASSERT_EQ(names(), QStringList{QStringLiteral("ROCK")});
    builder.GetFiles(QStringLiteral("ROCK"));
    EXPECT_TRUE(prompter.asked.isEmpty());
    EXPECT_EQ(builder.playlist().paths(), QStringList{QStringLiteral("/m/a.mp3")});

    build({QStringLiteral("/m/b.mp3")});
    builder.SaveList(QStringLiteral("ROCK"));
    EXPECT_EQ(prompter.asked, QList<Prompt>{overwrite(QStringLiteral("ROCK"))});
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("ROCK.PYL")});
    EXPECT_EQ(readFile(pyl("ROCK.PYL")), QByteArray("/m/b.mp3\r\n"));
}

TEST_F(PlaylistBuilderTest, ANameOfSpacesIsListedAsTheEmptyName)
{
    build({QStringLiteral("/m/a.mp3")});
    builder.SaveList(QStringLiteral("   "));
    PlaylistBuilder nextStart{playlist, prompter, store};
    nextStart.listSavedNames();
    EXPECT_EQ(nextStart.savedNames().stringList(), QStringList{QString()});
}

TEST_F(PlaylistBuilderTest, PlaylistsBesideTheProgramStillLoadAndSavesGoToTheUserFolder)
{
    QTemporaryDir program;
    writeFile(program.filePath(QStringLiteral("old.pyl")), "/m/old.mp3\r\n");
    PlaylistStore both{dir.path(), program.path()};
    PlaylistBuilder withEarlier{playlist, prompter, both};
    withEarlier.listSavedNames();
    EXPECT_EQ(withEarlier.savedNames().stringList(), QStringList{QStringLiteral("old")});
    withEarlier.GetFiles(QStringLiteral("old"));
    EXPECT_EQ(withEarlier.playlist().paths(), QStringList{QStringLiteral("/m/old.mp3")});

    withEarlier.playlist().replace({QStringLiteral("/m/new.mp3")});
    withEarlier.SaveList(QStringLiteral("old"));
    EXPECT_EQ(prompter.asked, QList<Prompt>{overwrite(QStringLiteral("old"))});
    EXPECT_EQ(readFile(pyl("old.pyl")), QByteArray("/m/new.mp3\r\n"));
    EXPECT_EQ(readFile(program.filePath(QStringLiteral("old.pyl"))), QByteArray("/m/old.mp3\r\n"));
    withEarlier.GetFiles(QStringLiteral("old"));
    EXPECT_EQ(withEarlier.playlist().paths(), QStringList{QStringLiteral("/m/new.mp3")});
}

TEST_F(PlaylistBuilderTest, ListingAppendsAfterNamesAlreadyThere)
{
    writeFile(pyl("b.pyl"), "x\r\n");
    writeFile(pyl("a.pyl"), "x\r\n");
    builder.listSavedNames();
    build({QStringLiteral("/m/a.mp3")});
    builder.SaveList(QStringLiteral("c"));
    EXPECT_EQ(names(),
              (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
}

#ifndef Q_OS_WIN
TEST_F(PlaylistBuilderTest, ANameWithASeparatorSavesIntoASubfolderOnlyWhenItExists)
{
    build({QStringLiteral("/m/a.mp3")});
    builder.SaveList(QStringLiteral("sub/rock"));
    EXPECT_EQ(prompter.asked, QList<Prompt>{kSaveError});
    // The name stays listed although the save failed.
    EXPECT_EQ(names(), QStringList{QStringLiteral("sub/rock")});

    prompter.asked.clear();
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    builder.SaveList(QStringLiteral("sub/rock"));
    EXPECT_TRUE(prompter.asked.isEmpty());
    EXPECT_EQ(readFile(pyl("sub/rock.pyl")), QByteArray("/m/a.mp3\r\n"));

    PlaylistBuilder fresh(playlist, prompter, store);
    fresh.listSavedNames();
    EXPECT_TRUE(fresh.savedNames().stringList().isEmpty());
    fresh.GetFiles(QStringLiteral("sub/rock"));
    EXPECT_EQ(fresh.playlist().paths(), QStringList{QStringLiteral("/m/a.mp3")});
}
#endif

TEST_F(PlaylistBuilderTest, FailedSaveKeepsTheOldFileAndSaysSo)
{
    writeFile(pyl("rock.pyl"), "/old.mp3\r\n");
    build({QStringLiteral("/new.mp3")});
    store.setSaveFileFactory(
        [](const QString& name) { return std::make_unique<FailingSaveFile>(name, 4); });
    builder.SaveList(QStringLiteral("rock"));
    EXPECT_EQ(prompter.asked, (QList<Prompt>{overwrite(QStringLiteral("rock")), kSaveError}));
    EXPECT_EQ(readFile(pyl("rock.pyl")), QByteArray("/old.mp3\r\n"));
}

TEST_F(PlaylistBuilderTest, UnreadablePlaylistLeavesTheListAlone)
{
    // A folder named like a playlist counts as absent.
    QDir(dir.path()).mkdir(QStringLiteral("odd.pyl"));
    build({QStringLiteral("/keep.mp3")});
    builder.GetFiles(QStringLiteral("odd"));
    EXPECT_EQ(prompter.asked, QList<Prompt>{kNoneFound});
    EXPECT_EQ(builder.playlist().paths(), QStringList{QStringLiteral("/keep.mp3")});
}

TEST_F(PlaylistBuilderTest, PlaylistTooLargeToReadIsNotFound)
{
    QFile huge(pyl("huge.pyl"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    huge.write("/in/huge.mp3\r\n");
    ASSERT_TRUE(huge.resize(PlaylistStore::kMaxFileBytes + 1));
    huge.close();
    build({QStringLiteral("/keep.mp3")});
    playlist.setSongIndex(5);
    builder.GetFiles(QStringLiteral("huge"));
    EXPECT_EQ(prompter.asked, QList<Prompt>{kNoneFound});
    EXPECT_EQ(builder.playlist().paths(), QStringList{QStringLiteral("/keep.mp3")});
    EXPECT_EQ(playlist.SongIndex(), 1);
}

TEST_F(PlaylistBuilderTest, PlaylistsBeyondSixteenBitsLoadWhole)
{
    QStringList paths;
    for (int i = 0; i < 33000; ++i) {
        paths << QStringLiteral("/m/%1.mp3").arg(i);
    }
    build(paths);
    builder.SaveList(QStringLiteral("big"));
    builder.clear();
    builder.GetFiles(QStringLiteral("big"));
    EXPECT_EQ(builder.playlist().count(), 33000);
    builder.PassList();
    EXPECT_EQ(playlist.SongCount(), 33000);
    EXPECT_EQ(playlist.SongList().last(), QStringLiteral("/m/32999.mp3"));
}

TEST_F(PlaylistBuilderTest, FolderListingMatchesAudioPatternsWithoutCase)
{
    for (const char* name : {"b.MP3", "a.mp3", "c.Mp2", "d.wav", "e.mid", "f.MIDI", "g.ogg",
                             "h.mp3.txt", ".hidden.mp3", "C.mp3"}) {
        writeFile(pyl(name), "x");
    }
    QDir(dir.path()).mkdir(QStringLiteral("folder.mp3"));
    builder.listFolder(dir.path());
    EXPECT_EQ(
        builder.folderFiles().stringList(),
        (QStringList{QStringLiteral("a.mp3"), QStringLiteral("b.MP3"), QStringLiteral("c.Mp2"),
                     QStringLiteral("C.mp3"), QStringLiteral("d.wav"), QStringLiteral("e.mid"),
                     QStringLiteral("f.MIDI")}));
    builder.listFolder(dir.filePath(QStringLiteral("gone")));
    EXPECT_TRUE(builder.folderFiles().stringList().isEmpty());
}
