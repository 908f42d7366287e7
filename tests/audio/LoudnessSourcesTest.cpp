// SPDX-License-Identifier: GPL-3.0-or-later
#include "AudioTestSupport.h"
#include "audio/loudness/LoudnessCache.h"
#include "audio/loudness/ReplayGainReader.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>
#include <unistd.h>
#include <utime.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace audio_test;

namespace {

QString copyOf(const QString& source, const QTemporaryDir& dir, const char* name)
{
    const QString path = dir.filePath(QString::fromUtf8(name));
    QFile::remove(path);
    EXPECT_TRUE(QFile::copy(source, path));
    QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    return path;
}

// Adds ReplayGain TXXX frames to an mp3's ID3v2 tag, as taggers write them.
void tagReplayGain(const QString& path, const char* gain, const char* peak)
{
    TagLib::MPEG::File file(QFile::encodeName(path).constData());
    TagLib::ID3v2::Tag* tag = file.ID3v2Tag(true);
    for (const auto& [key, value] :
         {std::pair{"REPLAYGAIN_TRACK_GAIN", gain}, std::pair{"replaygain_track_peak", peak}}) {
        if (value == nullptr) {
            continue;
        }
        auto* frame = new TagLib::ID3v2::UserTextIdentificationFrame(TagLib::String::Latin1);
        frame->setDescription(key);
        frame->setText(value);
        tag->addFrame(frame);
    }
    ASSERT_TRUE(file.save(TagLib::MPEG::File::ID3v2));
}

}  // namespace

TEST(ReplayGainReader, ReadsTheTrackGainOfTaggedFilesOnly)
{
    QTemporaryDir dir;
    const QString plain = copyOf(media("tone.mp3"), dir, "plain.mp3");
    EXPECT_FALSE(ReplayGainReader::read(plain).has_value());

    const QString tagged = copyOf(media("tone.mp3"), dir, "tagged.mp3");
    tagReplayGain(tagged, "-6.50 dB", "0.891251");
    const auto loudness = ReplayGainReader::read(tagged);
    ASSERT_TRUE(loudness.has_value());
    EXPECT_EQ(loudness->source, SongLoudness::Source::ReplayGain);
    EXPECT_DOUBLE_EQ(loudness->lufs, -18.0 + 6.5);  // the gain brings it to -18 LUFS
    ASSERT_TRUE(loudness->peakDb.has_value());
    EXPECT_NEAR(*loudness->peakDb, -1.0, 0.01);

    const QString noPeak = copyOf(media("tone.mp3"), dir, "nopeak.mp3");
    tagReplayGain(noPeak, "+2.3 dB", nullptr);
    ASSERT_TRUE(ReplayGainReader::read(noPeak).has_value());
    EXPECT_FALSE(ReplayGainReader::read(noPeak)->peakDb.has_value());

    // Not a regular file: refused without blocking.
    const QString fifo = dir.filePath(QStringLiteral("pipe.mp3"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_FALSE(ReplayGainReader::read(fifo).has_value());
    EXPECT_FALSE(ReplayGainReader::read(dir.filePath(QStringLiteral("none.mp3"))).has_value());
}

TEST(ReplayGainReader, ParsesGainsAsTaggersWriteThem)
{
    const std::vector<std::pair<const char*, std::optional<double>>> cases{
        {"-6.54 dB", -6.54},       {"+2.3 dB", 2.3},        {"0 dB", 0.0},
        {" -7.1dB ", -7.1},        {"3.25", 3.25},          {"-.5 dB", -0.5},
        {"dB", std::nullopt},      {"", std::nullopt},      {"loud", std::nullopt},
        {"-120 dB", std::nullopt}, {"1e400", std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        const auto got = ReplayGainReader::parseGain(QString::fromUtf8(text));
        ASSERT_EQ(got.has_value(), expected.has_value()) << text;
        if (expected) {
            EXPECT_DOUBLE_EQ(*got, *expected) << text;
        }
    }
}

TEST(LoudnessCache, KeepsMeasurementsByPathSizeAndTime)
{
    QTemporaryDir dir;
    const QString song = copyOf(media("tone.wav"), dir, "song.wav");
    const auto key = LoudnessCache::keyOf(song);
    ASSERT_TRUE(key.has_value());
    SongLoudness measured;
    measured.lufs = -21.25;
    measured.peakDb = -3.5;
    {
        LoudnessCache cache(dir.filePath(QStringLiteral("cache")));
        EXPECT_FALSE(cache.find(*key).has_value());
        cache.store(*key, measured);
    }
    LoudnessCache again(dir.filePath(QStringLiteral("cache")));
    const auto found = again.find(*key);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->source, SongLoudness::Source::Cache);
    EXPECT_DOUBLE_EQ(found->lufs, -21.25);
    EXPECT_DOUBLE_EQ(found->peakDb.value_or(0), -3.5);

    // A file that changed is measured again.
    for (const auto& changed :
         {LoudnessCache::Key{key->path, key->size + 1, key->modifiedNs},
          LoudnessCache::Key{key->path, key->size, key->modifiedNs + 1},
          LoudnessCache::Key{key->path + QLatin1Char('x'), key->size, key->modifiedNs}}) {
        EXPECT_FALSE(again.find(changed).has_value()) << changed.path.toStdString();
    }
    utimbuf times{1000000, 1000000};
    ASSERT_EQ(::utime(QFile::encodeName(song).constData(), &times), 0);
    EXPECT_FALSE(again.find(*LoudnessCache::keyOf(song)).has_value());
}

TEST(LoudnessCache, DamagedLinesAreSkippedAndNoFolderKeepsNothing)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("cache"));
    const LoudnessCache::Key key{QStringLiteral("/music/a.mp3"), 1000, 42};
    {
        LoudnessCache cache(folder);
        cache.store(
            key, SongLoudness{-12.0, std::nullopt, SongLoudness::Source::Measured, std::nullopt});
    }
    QFile file(folder + QStringLiteral("/loudness.tsv"));
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("L1\tnot\ta\tnumber\t-\t/music/b.mp3\n");
    file.write("garbage\n");
    file.write("L1\t5\t6\t-20.00\t-\t/music/c.mp3");  // cut off by a crash
    file.close();
    LoudnessCache cache(folder);
    ASSERT_TRUE(cache.find(key).has_value());
    EXPECT_FALSE(cache.find(key)->peakDb.has_value());
    EXPECT_FALSE(cache.find({QStringLiteral("/music/b.mp3"), 0, 0}).has_value());
    EXPECT_FALSE(cache.find({QStringLiteral("/music/c.mp3"), 5, 6}).has_value());

    // Something that is no regular file in the cache's place is neither read
    // nor written into (a FIFO would block); the cache is written anew.
    const QString fifoFolder = dir.filePath(QStringLiteral("fifo"));
    ASSERT_TRUE(QDir().mkpath(fifoFolder));
    ASSERT_EQ(
        ::mkfifo(QFile::encodeName(fifoFolder + QStringLiteral("/loudness.tsv")).constData(), 0600),
        0);
    {
        LoudnessCache blocked(fifoFolder);
        EXPECT_FALSE(blocked.find(key).has_value());
        blocked.store(
            key, SongLoudness{-9.0, std::nullopt, SongLoudness::Source::Measured, std::nullopt});
    }
    EXPECT_DOUBLE_EQ(LoudnessCache(fifoFolder).find(key).value_or(SongLoudness{}).lufs, -9.0);

    LoudnessCache none{QString()};
    none.store(key, SongLoudness{});
    EXPECT_FALSE(none.find(key).has_value());
}

namespace {

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

mode_t modeOf(const QString& path)
{
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode : 0;
}

}  // namespace

// What sits in the cache's place without being the user's own regular file is
// never read nor written through: the file elsewhere keeps its bytes, a line
// planted in it is not believed, the refusal is said once, and the cache is
// kept anew in a file of its own (or not at all when the folder is a link).
TEST(LoudnessCache, NeverReadsOrWritesThroughWhatIsNotItsOwnFile)
{
    enum class Plant { FileLink, FolderLink, HardLink, OtherOwner };
    const struct {
        const char* name;
        Plant plant;
    } cases[] = {
        {"cache file linked to a system file", Plant::FileLink},
        {"cache folder linked to a system folder", Plant::FolderLink},
        {"cache file a second name of a system file", Plant::HardLink},
        {"cache file of another user", Plant::OtherOwner},
    };
    const LoudnessCache::Key key{QStringLiteral("/music/a.mp3"), 1000, 42};
    const QByteArray system =
        "root:x:0:0:root:/root:/bin/bash\nL1\t1000\t42\t-30.00\t-\t/music/a.mp3\n";
    for (const auto& c : cases) {
        if (c.plant == Plant::OtherOwner && ::geteuid() != 0) {
            continue;  // only root can hand a file to another user
        }
        QTemporaryDir dir;
        const QString etc = dir.filePath(QStringLiteral("etc"));
        const QString systemFile = etc + QStringLiteral("/passwd");
        const QString folder = dir.filePath(QStringLiteral("cache"));
        const QString cacheFile = folder + QStringLiteral("/loudness.tsv");
        ASSERT_TRUE(QDir().mkpath(etc));
        QFile planted(systemFile);
        ASSERT_TRUE(planted.open(QIODevice::WriteOnly) && planted.write(system) == system.size());
        planted.close();
        ASSERT_TRUE(c.plant == Plant::FolderLink ? QFile::link(etc, folder)
                                                 : QDir().mkpath(folder));
        const QByteArray from = QFile::encodeName(systemFile);
        const QByteArray to = QFile::encodeName(
            c.plant == Plant::FolderLink ? etc + QStringLiteral("/loudness.tsv") : cacheFile);
        const bool plantedOk =
            c.plant == Plant::HardLink ? ::link(from, to) == 0
            : c.plant == Plant::OtherOwner
                ? QFile::copy(systemFile, cacheFile) && ::chown(to, 65534, 65534) == 0
                : ::symlink(from, to) == 0;
        ASSERT_TRUE(plantedOk) << c.name;

        testing::internal::CaptureStderr();
        {
            LoudnessCache cache(folder);
            EXPECT_FALSE(cache.find(key).has_value()) << c.name;
            cache.store(key,
                        SongLoudness{-12.0, -2.0, SongLoudness::Source::Measured, std::nullopt});
            cache.store(
                {QStringLiteral("/music/b.mp3"), 5, 6},
                SongLoudness{-14.0, std::nullopt, SongLoudness::Source::Measured, std::nullopt});
        }
        const QString said = QString::fromStdString(testing::internal::GetCapturedStderr());
        EXPECT_EQ(said.count(QStringLiteral("loudness cache")), 1) << c.name << said.toStdString();

        EXPECT_EQ(contentOf(systemFile), system) << c.name;
        EXPECT_EQ(
            QDir(etc)
                .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System | QDir::Hidden)
                .size(),
            c.plant == Plant::FolderLink ? 2 : 1)
            << c.name;
        if (c.plant != Plant::FolderLink) {
            EXPECT_TRUE(S_ISREG(modeOf(cacheFile))) << c.name;
            EXPECT_DOUBLE_EQ(LoudnessCache(folder).find(key).value_or(SongLoudness{}).lufs, -12.0)
                << c.name;
        }
    }
}

// The folders the cache makes are for the user's eyes only: which songs a
// user plays is nobody else's business. A folder that was there is left as it
// is, unless it is the cache's own.
TEST(LoudnessCache, MakesItsFolderForTheUserAlone)
{
    QTemporaryDir dir;
    const QString parent = dir.filePath(QStringLiteral("shared"));
    ASSERT_TRUE(QDir().mkpath(parent));
    ASSERT_EQ(::chmod(QFile::encodeName(parent).constData(), 0755), 0);
    const LoudnessCache::Key key{QStringLiteral("/music/a.mp3"), 1000, 42};
    const SongLoudness measured{-12.0, std::nullopt, SongLoudness::Source::Measured, std::nullopt};
    const QString made = parent + QStringLiteral("/new/Tolvar");
    LoudnessCache(made).store(key, measured);
    EXPECT_EQ(modeOf(parent) & 0777, 0755u);
    EXPECT_EQ(modeOf(parent + QStringLiteral("/new")) & 0777, 0700u);
    EXPECT_EQ(modeOf(made) & 0777, 0700u);
    EXPECT_EQ(modeOf(made + QStringLiteral("/loudness.tsv")) & 0777, 0600u);
    EXPECT_TRUE(LoudnessCache(made).find(key).has_value());

    LoudnessCache(parent).store(key, measured);
    EXPECT_EQ(modeOf(parent) & 0777, 0700u);
    EXPECT_TRUE(LoudnessCache(parent).find(key).has_value());
}
