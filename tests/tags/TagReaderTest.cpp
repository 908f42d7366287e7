// SPDX-License-Identifier: GPL-3.0-or-later
#include "tags/TagReader.h"

#include "TagFiles.h"
#include "common/NonRegularFiles.h"
#include "tags/GenreList.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTemporaryDir>

using tag_files::RawTag;

namespace {

class TagReading : public ::testing::Test {
protected:
    QString file(const QString& name, const QByteArray& content)
    {
        const QString path = dir_.filePath(name);
        EXPECT_TRUE(tag_files::writeFile(path, content));
        return path;
    }

    QTemporaryDir dir_;
};

QString nuls(int count)
{
    return QString(count, QChar(u'\0'));
}

}  // namespace

TEST_F(TagReading, FileOfExactlyOneTagIsAllTag)
{
    RawTag raw;
    raw.title = "Song";
    raw.artist = "Artist";
    raw.album = "Album";
    raw.year = "1999";
    raw.comment = "Comment";
    raw.genre = 17;
    const QString path = file(QStringLiteral("tag.mp3"), raw.bytes());

    const std::optional<TagEditState> state = TagReader::GetTags(path);
    ASSERT_TRUE(state);
    EXPECT_TRUE(state->hasTag);
    EXPECT_EQ(state->path, path);
    EXPECT_EQ(state->length, 128);
    EXPECT_EQ(state->title, QStringLiteral("Song"));
    EXPECT_EQ(state->artist, QStringLiteral("Artist"));
    EXPECT_EQ(state->album, QStringLiteral("Album"));
    EXPECT_EQ(state->year, QStringLiteral("1999"));
    EXPECT_EQ(state->comment, QStringLiteral("Comment"));
    EXPECT_EQ(state->genre, 17);
    EXPECT_EQ(GenreList::name(state->genre), QStringLiteral("Rock"));
    EXPECT_EQ(TagReader::songTitle(path), QStringLiteral("Song"));
}

TEST_F(TagReading, TagIsTakenFromTheLastBytesOnly)
{
    RawTag early;
    early.title = "Not this one";
    RawTag last;
    last.title = "This one";
    last.genre = 147;
    const QString path =
        file(QStringLiteral("song.mp3"), early.bytes() + tag_files::body(500) + last.bytes());
    const std::optional<TagEditState> state = TagReader::GetTags(path);
    ASSERT_TRUE(state);
    EXPECT_EQ(state->length, 128 + 500 + 128);
    EXPECT_EQ(state->title, QStringLiteral("This one"));
    EXPECT_EQ(GenreList::name(state->genre), QStringLiteral("Synth Pop"));
    EXPECT_EQ(state->tail, last.bytes());
}

TEST_F(TagReading, TooShortEmptyOrMissingFilesAreNotRead)
{
    RawTag raw;
    raw.title = "Cut";
    const QString shortFile = file(QStringLiteral("short.mp3"), raw.bytes().left(127));
    const QString empty = file(QStringLiteral("empty.mp3"), {});
    const QString missing = dir_.filePath(QStringLiteral("missing.mp3"));
    for (const QString& path : {shortFile, empty, missing, dir_.path()}) {
        EXPECT_FALSE(TagReader::GetTags(path)) << path.toStdString();
        EXPECT_FALSE(TagReader::songTitle(path)) << path.toStdString();
    }
}

TEST_F(TagReading, WithoutUpperCaseMarkerTheFileIsUntagged)
{
    for (const QByteArray& marker : {QByteArray("tag"), QByteArray("Tag"), QByteArray("TAg")}) {
        RawTag raw;
        raw.marker = marker;
        raw.title = "Hidden";
        raw.artist = "Someone";
        raw.genre = 17;
        const QString path = file(QStringLiteral("lower.mp3"), tag_files::body(300) + raw.bytes());

        const std::optional<TagEditState> state = TagReader::GetTags(path);
        ASSERT_TRUE(state);
        EXPECT_FALSE(state->hasTag);
        EXPECT_EQ(state->title, path);
        EXPECT_TRUE(state->artist.isEmpty());
        EXPECT_TRUE(state->album.isEmpty());
        EXPECT_TRUE(state->year.isEmpty());
        EXPECT_TRUE(state->comment.isEmpty());
        EXPECT_EQ(state->genre, -1);
        EXPECT_EQ(state->length, 428);

        EXPECT_FALSE(TagReader::songTitle(path));
    }
}

// Editor read (spaces trimmed, NULs kept), what its box shows (up to the
// first NUL) and the announced title, for each way a field may be padded.
struct Padding {
    const char* name;
    QByteArray field;
    QString edited;
    QString shown;
    QString announced;
};

class TitlePadding : public ::testing::TestWithParam<Padding> {};

TEST_P(TitlePadding, ReadersAgreeOnWhatIsText)
{
    const Padding& p = GetParam();
    ASSERT_EQ(p.field.size(), 30);
    RawTag raw;
    raw.title = p.field;
    raw.comment = p.field;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pad.mp3"));
    ASSERT_TRUE(tag_files::writeFile(path, tag_files::body(64) + raw.bytes()));

    const std::optional<TagEditState> state = TagReader::GetTags(path);
    ASSERT_TRUE(state);
    EXPECT_EQ(state->title, p.edited);
    EXPECT_EQ(state->comment, p.edited);
    EXPECT_EQ(Id3v1Tag::beforeNul(state->title), p.shown);

    EXPECT_EQ(TagReader::songTitle(path).value_or(QStringLiteral("Previous")), p.announced);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, TitlePadding,
    ::testing::Values(Padding{"NulPadded", QByteArray("Hello") + QByteArray(25, '\0'),
                              QStringLiteral("Hello") + nuls(25), QStringLiteral("Hello"),
                              QStringLiteral("Hello")},
                      Padding{"SpacesAround", QByteArray("  Hello") + QByteArray(23, ' '),
                              QStringLiteral("Hello"), QStringLiteral("Hello"),
                              QStringLiteral("Hello")},
                      Padding{"SpacesBeforeNuls", QByteArray("Hello  ") + QByteArray(23, '\0'),
                              QStringLiteral("Hello  ") + nuls(23), QStringLiteral("Hello  "),
                              QStringLiteral("Hello  ")},
                      Padding{"LeadingSpacesThenNuls", QByteArray("  Hello") + QByteArray(23, '\0'),
                              QStringLiteral("Hello") + nuls(23), QStringLiteral("Hello"),
                              QStringLiteral("Hello")},
                      Padding{"NulThenSpaces", QByteArray(1, '\0') + QByteArray(29, ' '), nuls(1),
                              QString(), QString()},
                      Padding{"AllNuls", QByteArray(30, '\0'), nuls(30), QString(), QString()},
                      Padding{"FullWidth", QByteArray("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123"),
                              QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123"),
                              QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123"),
                              QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123")},
                      Padding{"TabsAreNotSpaces", QByteArray("\tHello\t") + QByteArray(23, ' '),
                              QStringLiteral("\tHello\t"), QStringLiteral("\tHello\t"),
                              QStringLiteral("\tHello\t")}),
    [](const ::testing::TestParamInfo<Padding>& info) { return std::string(info.param.name); });

TEST_F(TagReading, GenreByteOutsideTheListNamesNoGenre)
{
    for (const int genre : {148, 200, 255}) {
        RawTag raw;
        raw.genre = static_cast<unsigned char>(genre);
        const std::optional<TagEditState> state =
            TagReader::GetTags(file(QStringLiteral("genre.mp3"), raw.bytes()));
        ASSERT_TRUE(state);
        EXPECT_EQ(state->genre, genre);
        EXPECT_TRUE(GenreList::name(state->genre).isEmpty());
    }
}

TEST_F(TagReading, BytesOutsideAsciiReadAsLatin1)
{
    RawTag raw;
    raw.title = QByteArray("\xC3\xA9t\xE9\x01\x7F\x80\xFF", 8);  // UTF-8, Latin-1, controls
    raw.artist = QByteArray("\x1B[0m\xFE\xFD", 6);
    raw.year = QByteArray("\xFF\xFF\xFF\xFF", 4);
    const QString path = file(QStringLiteral("odd.mp3"), raw.bytes());
    const std::optional<TagEditState> state = TagReader::GetTags(path);
    ASSERT_TRUE(state);
    EXPECT_EQ(state->title, QString::fromLatin1(raw.title));
    EXPECT_EQ(state->artist, QString::fromLatin1(raw.artist));
    EXPECT_EQ(state->year, QString::fromLatin1(raw.year));
    EXPECT_EQ(TagReader::songTitle(path), QString::fromLatin1(raw.title));
}

// The title read when a song starts, and the editor's read, answer at once
// for names that are no regular files: nothing to read, no waiting.
TEST_F(TagReading, SpecialFilesAreNotReadAndNothingWaits)
{
    const testing_support::NonRegularFiles special(dir_.path(), QStringLiteral(".mp3"));
    ASSERT_EQ(special.entries().size(), 5u);
    for (const auto& entry : special.entries()) {
        QElapsedTimer clock;
        clock.start();
        EXPECT_FALSE(TagReader::GetTags(entry.path)) << entry.kind;
        EXPECT_FALSE(TagReader::songTitle(entry.path)) << entry.kind;
        EXPECT_LT(clock.elapsed(), 1000) << entry.kind;
    }
}
