// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/decode/Decoder.h"
#include "audio/decode/DecoderFactory.h"
#include "audio/decode/MidiFile.h"
#include "common/QStringPrinter.h"
#include "demo/DemoStation.h"
#include "playlist/PylFormat.h"
#include "tags/TagReader.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <cmath>
#include <vector>

namespace {

void touch(const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("x");
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The demo of this build tree, as the program finds it beside itself.
std::optional<DemoStation> builtDemo()
{
    return DemoStation::findIn(DemoStation::candidates(QCoreApplication::applicationDirPath(), {}));
}

}  // namespace

TEST(DemoStation, LooksBesideTheProgramFirstThenInTheDataFolders)
{
    const QStringList found = DemoStation::candidates(
        QStringLiteral("/opt/radio/bin"),
        {QStringLiteral("/home/u/.local/share"), QString(), QStringLiteral("/usr/share")});
    ASSERT_EQ(found.size(), 3);
    EXPECT_EQ(found[0], QStringLiteral("/opt/radio/share/tolvar-radio/demo"));
    EXPECT_EQ(found[1], QStringLiteral("/home/u/.local/share/tolvar-radio/demo"));
    EXPECT_EQ(found[2], QStringLiteral("/usr/share/tolvar-radio/demo"));
    EXPECT_EQ(DemoStation::candidates(QString(), {}), QStringList());
}

TEST(DemoStation, TakesTheFirstFolderThatHoldsSongs)
{
    struct Case {
        const char* name;
        std::vector<const char*> files;  // relative to the temporary folder
        const char* expectFolder;        // nullptr: no demo found
        std::vector<const char*> expectSongs;
    };
    const std::vector<Case> cases{
        {"installed beside the program",
         {"prefix/share/tolvar-radio/demo/b.mid", "prefix/share/tolvar-radio/demo/a.MID",
          "prefix/share/tolvar-radio/demo/demo-station.pyl",
          "prefix/share/tolvar-radio/demo/notes.txt", "data/tolvar-radio/demo/z.mid"},
         "prefix/share/tolvar-radio/demo",
         {"a.MID", "b.mid"}},
        {"only in a data folder",
         {"data/tolvar-radio/demo/z.mp3"},
         "data/tolvar-radio/demo",
         {"z.mp3"}},
        {"a demo folder without songs is passed over",
         {"prefix/share/tolvar-radio/demo/demo-station.pyl", "data/tolvar-radio/demo/c.wav"},
         "data/tolvar-radio/demo",
         {"c.wav"}},
        {"hidden files are no songs", {"prefix/share/tolvar-radio/demo/.x.mid"}, nullptr, {}},
        {"a file where the folder should be", {"prefix/share/tolvar-radio/demo"}, nullptr, {}},
        {"nothing installed", {}, nullptr, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir root;
        QDir dir(root.path());
        for (const char* file : c.files) {
            touch(dir.filePath(QString::fromUtf8(file)));
        }
        const auto demo = DemoStation::findIn(DemoStation::candidates(
            dir.filePath(QStringLiteral("prefix/bin")), {dir.filePath(QStringLiteral("data"))}));
        if (c.expectFolder == nullptr) {
            EXPECT_FALSE(demo);
            continue;
        }
        ASSERT_TRUE(demo);
        const QString folder = dir.filePath(QString::fromUtf8(c.expectFolder));
        EXPECT_EQ(demo->folder(), folder);
        QStringList songs;
        for (const char* song : c.expectSongs) {
            songs.append(folder + QLatin1Char('/') + QString::fromUtf8(song));
        }
        EXPECT_EQ(demo->songs(), songs);
        const bool hasPlaylist = QFileInfo::exists(folder + QStringLiteral("/demo-station.pyl"));
        EXPECT_EQ(demo->playlist(),
                  hasPlaylist ? folder + QStringLiteral("/demo-station.pyl") : QString());
    }
}

TEST(BuiltDemoStation, IsFoundFromTheBuildTreeWithItsPlaylist)
{
    const auto demo = builtDemo();
    ASSERT_TRUE(demo) << "no demo beside " << QCoreApplication::applicationDirPath().toStdString();
    EXPECT_GE(demo->songs().size(), 4);
    EXPECT_LE(demo->songs().size(), 6);
    ASSERT_FALSE(demo->playlist().isEmpty());
    // The playlist names the same songs, in the same order, where they are.
    EXPECT_EQ(PylFormat::decode(readFile(demo->playlist())), demo->songs());
}

TEST(BuiltDemoStation, EverySongIsAShortTitledMelodyThatSounds)
{
    const auto demo = builtDemo();
    ASSERT_TRUE(demo);
    DecoderFactory factory(DecoderFactory::defaultSoundFont());
    QSet<QString> titles;
    for (const QString& song : demo->songs()) {
        SCOPED_TRACE(song.toStdString());
        QString error;
        const auto midi = MidiFile::parse(readFile(song), error);
        ASSERT_TRUE(midi) << error.toStdString();
        EXPECT_GE(midi->durationSeconds(), 30.0);
        EXPECT_LE(midi->durationSeconds(), 60.0);

        // The announcer names it: "That was ...".
        const std::optional<QString> title = TagReader::songTitle(song);
        ASSERT_TRUE(title);
        EXPECT_FALSE(title->isEmpty());
        titles.insert(*title);

        // A second from the middle is music, neither faint nor clipped.
        const auto decoder = factory.open(song, error);
        ASSERT_TRUE(decoder) << error.toStdString();
        const int rate = decoder->sampleRate();
        ASSERT_TRUE(decoder->seek(decoder->length() / 2));
        std::vector<std::int16_t> pcm(static_cast<std::size_t>(rate) * 2);
        const std::size_t frames = decoder->read(pcm.data(), static_cast<std::size_t>(rate));
        ASSERT_EQ(frames, static_cast<std::size_t>(rate));
        double sum = 0.0;
        int peak = 0;
        for (const std::int16_t s : pcm) {
            sum += static_cast<double>(s) * s;
            peak = std::max(peak, std::abs(static_cast<int>(s)));
        }
        const double level = 20.0 * std::log10(std::sqrt(sum / pcm.size()) / 32768.0);
        EXPECT_GT(level, -30.0);
        EXPECT_LT(peak, 32767);
    }
    EXPECT_EQ(titles.size(), demo->songs().size()) << "two songs share a title";
}
