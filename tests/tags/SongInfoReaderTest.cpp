// SPDX-License-Identifier: GPL-3.0-or-later
#include "tags/SongInfoReader.h"

#include "TagFiles.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <taglib/apetag.h>
#include <taglib/id3v2tag.h>
#include <taglib/infotag.h>
#include <taglib/mpegfile.h>
#include <taglib/tpropertymap.h>
#include <taglib/wavfile.h>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <vector>

using tag_files::RawTag;

namespace {

const QString kMedia = QStringLiteral(TOLVAR_TAGS_TEST_MEDIA);

// A copy of a generated song in a scratch folder, for the test to change.
QString copyOf(const QTemporaryDir& dir, const QString& media, const QString& name)
{
    const QString path = dir.filePath(name);
    QFile::remove(path);
    EXPECT_TRUE(QFile::copy(kMedia + u'/' + media, path)) << media.toStdString();
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    return path;
}

QByteArray bigEndian(quint32 value, int bytes)
{
    QByteArray out;
    for (int i = bytes - 1; i >= 0; --i) {
        out += static_cast<char>((value >> (8 * i)) & 0xff);
    }
    return out;
}

QByteArray syncsafe(quint32 value)
{
    QByteArray out;
    for (int shift = 21; shift >= 0; shift -= 7) {
        out += static_cast<char>((value >> shift) & 0x7f);
    }
    return out;
}

// An ID3v2.2 tag: three-letter frames, Latin-1 texts.
QByteArray id3v22(const QList<QPair<QByteArray, QByteArray>>& frames)
{
    QByteArray body;
    for (const auto& [id, text] : frames) {
        body += id + bigEndian(static_cast<quint32>(text.size() + 1), 3) + '\0' + text;
    }
    return "ID3" + QByteArray("\x02\x00\x00", 3) + syncsafe(static_cast<quint32>(body.size())) +
           body;
}

bool append(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::Append) && file.write(bytes) == bytes.size();
}

bool prepend(const QString& path, const QByteArray& bytes)
{
    return tag_files::writeFile(path, bytes + tag_files::readFile(path));
}

// What a row expects of SongInfo's fields for the announcer.
struct Expected {
    QString title;
    QString artist;
    QString album;
    int trackNumber = 0;
    std::int64_t lengthMs = 0;
};

struct TitleCase {
    const char* name;
    std::function<QString(const QTemporaryDir&)> make;
    Expected expected;
    // Made from the one-second tone, so the length is known.
    bool isTone = true;
};

std::vector<TitleCase> titleCases()
{
    RawTag shortTitle;
    shortTitle.title = "Short Title";
    shortTitle.artist = "V1 Artist";
    // ID3v1.1: a zero, then the track number, at the comment's end.
    shortTitle.comment = QByteArray(28, ' ') + QByteArray("\x00\x09", 2);
    RawTag blankTitle;

    return {
        {"Id3v2OnlyMp3",
         [](const QTemporaryDir& dir) { return copyOf(dir, "id3v2only.mp3", "a.mp3"); },
         {"Harbour Lights", "Test Band", "Made Here", 7, 0}},
        {"Id3v22Mp3",
         [](const QTemporaryDir& dir) {
             const QString path = copyOf(dir, "plain.mp3", "b.mp3");
             EXPECT_TRUE(prepend(
                 path, id3v22({{"TT2", "Old Frames"}, {"TP1", "Early Band"}, {"TRK", "4"}})));
             return path;
         },
         {"Old Frames", "Early Band", "", 4, 0}},
        {"ApeOnlyMp3",
         [](const QTemporaryDir& dir) {
             const QString path = copyOf(dir, "plain.mp3", "c.mp3");
             TagLib::MPEG::File file(QFile::encodeName(path).constData());
             file.APETag(true)->setTitle("Ape Title");
             file.APETag(true)->setArtist("Ape Artist");
             EXPECT_TRUE(file.save(TagLib::MPEG::File::APE));
             return path;
         },
         {"Ape Title", "Ape Artist", "", 0, 0}},
        {"WavInfoChunk",
         [](const QTemporaryDir& dir) {
             const QString path = copyOf(dir, "tone.wav", "d.wav");
             TagLib::RIFF::WAV::File file(QFile::encodeName(path).constData());
             file.InfoTag()->setTitle("Info Title");
             file.InfoTag()->setArtist("Info Artist");
             EXPECT_TRUE(file.save(TagLib::RIFF::WAV::File::Info));
             return path;
         },
         {"Info Title", "Info Artist", "", 0, 0}},
        {"WavId3Chunk",
         [](const QTemporaryDir& dir) {
             const QString path = copyOf(dir, "tone.wav", "e.wav");
             TagLib::RIFF::WAV::File file(QFile::encodeName(path).constData());
             file.ID3v2Tag()->setTitle(TagLib::String("Chunk Titl\u00e9", TagLib::String::UTF8));
             file.ID3v2Tag()->setAlbum("Chunk Album");
             EXPECT_TRUE(file.save(TagLib::RIFF::WAV::File::ID3v2));
             return path;
         },
         {QString::fromUtf8("Chunk Titl\u00e9"), "", "Chunk Album", 0, 0}},
        {"Id3v1ComesFirst",
         [shortTitle](const QTemporaryDir& dir) {
             const QString path = copyOf(dir, "id3v2only.mp3", "f.mp3");
             EXPECT_TRUE(append(path, shortTitle.bytes()));
             return path;
         },
         {"Short Title", "V1 Artist", "Made Here", 9, 0}},
        {"BlankId3v1LeavesTheOthers",
         [blankTitle](const QTemporaryDir& dir) {
             const QString path = copyOf(dir, "id3v2only.mp3", "g.mp3");
             EXPECT_TRUE(append(path, blankTitle.bytes()));
             return path;
         },
         {"Harbour Lights", "Test Band", "Made Here", 7, 0}},
        {"NoTags", [](const QTemporaryDir& dir) { return copyOf(dir, "plain.mp3", "h.mp3"); }, {}},
        {"Garbage",
         [](const QTemporaryDir& dir) {
             const QString path = dir.filePath("i.mp3");
             EXPECT_TRUE(tag_files::writeFile(path, tag_files::body(64 * 1024)));
             return path;
         },
         {},
         false},
        {"Id3v2ClaimingMoreThanTheFile",
         [](const QTemporaryDir& dir) {
             const QString path = dir.filePath("j.mp3");
             EXPECT_TRUE(tag_files::writeFile(
                 path, "ID3" + QByteArray("\x03\x00\x00\x7f\x7f\x7f\x7f", 7) + "TIT2" +
                           bigEndian(0x7ffffff0, 4) + QByteArray(2, '\0') + "x"));
             return path;
         },
         {},
         false},
    };
}

}  // namespace

TEST(SongInfoReader, TitleAndDetailsFromWhicheverTagTheFileCarries)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const TitleCase& row : titleCases()) {
        SCOPED_TRACE(row.name);
        const QString path = row.make(dir);
        QElapsedTimer clock;
        clock.start();
        const std::optional<SongInfo> info = SongInfoReader::read(path);
        EXPECT_LT(clock.elapsed(), 2000);
        ASSERT_TRUE(info.has_value());
        EXPECT_EQ(info->title, row.expected.title);
        EXPECT_EQ(info->artist, row.expected.artist);
        EXPECT_EQ(info->album, row.expected.album);
        EXPECT_EQ(info->trackNumber, row.expected.trackNumber);
        if (row.isTone) {
            EXPECT_NEAR(info->lengthMs, 1000, 100);
        }
    }
}

TEST(SongInfoReader, OnlyRegularFilesAreRead)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString fifo = dir.filePath(QStringLiteral("fifo.mp3"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // Nobody writes to the FIFO: a plain open would wait for ever.
    EXPECT_FALSE(SongInfoReader::read(fifo).has_value());
    EXPECT_FALSE(SongInfoReader::read(dir.path()).has_value());
    EXPECT_FALSE(SongInfoReader::read(dir.filePath(QStringLiteral("missing.mp3"))).has_value());
    EXPECT_FALSE(SongInfoReader::read(QString()).has_value());
}

// The desktop has room for more than ID3v1's 30 characters: it shows the
// fuller text of the two tags, while the announcer keeps the ID3v1 title.
TEST(SongInfoReader, TheDesktopIsShownTheFullerTextOfTheTwoTags)
{
    const struct {
        const char* name;
        QByteArray v1Title;
        QByteArray v1Artist;
        std::vector<const char*> v2Artists;
        const char* shownTitle;
        QStringList shownArtists;
    } rows[] = {
        {"cut title",
         "A Title Longer Than Thirty Cha",
         "Band",
         {"Band"},
         "A Title Longer Than Thirty Characters Goes On",
         {"Band"}},
        {"two artists",
         "Duet",
         "First Singer",
         {"First Singer", "Second Singer"},
         "Duet",
         {"First Singer", "Second Singer"}},
        {"tags that differ", "Own Title", "Own Band", {"Other Band"}, "Own Title", {"Own Band"}},
        {"empty ID3v1",
         "",
         "",
         {"Only V2"},
         "A Title Longer Than Thirty Characters Goes On",
         {"Only V2"}},
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QString path = copyOf(dir, "plain.mp3", QStringLiteral("shown.mp3"));
        {
            TagLib::MPEG::File file(QFile::encodeName(path).constData());
            TagLib::PropertyMap properties;
            properties["TITLE"] = TagLib::String("A Title Longer Than Thirty Characters Goes On");
            TagLib::StringList artists;
            for (const char* artist : row.v2Artists) {
                artists.append(TagLib::String(artist));
            }
            properties["ARTIST"] = artists;
            file.ID3v2Tag(true)->setProperties(properties);
            ASSERT_TRUE(file.save(TagLib::MPEG::File::ID3v2));
        }
        RawTag v1;
        v1.title = row.v1Title;
        v1.artist = row.v1Artist;
        ASSERT_TRUE(append(path, v1.bytes()));

        const std::optional<SongInfo> info = SongInfoReader::read(path);
        ASSERT_TRUE(info.has_value());
        EXPECT_EQ(info->shownTitle, QString::fromUtf8(row.shownTitle));
        EXPECT_EQ(info->shownArtists, row.shownArtists);
        // The announced title is still the ID3v1 one where there is one.
        EXPECT_EQ(info->title, row.v1Title.isEmpty() ? QString::fromUtf8(row.shownTitle)
                                                     : QString::fromLatin1(row.v1Title));
    }
}
