// SPDX-License-Identifier: GPL-3.0-or-later
#include "tags/TagWriter.h"

#include "TagFiles.h"
#include "tags/TagReader.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

using tag_files::RawTag;

namespace {

class TagWriting : public ::testing::Test {
protected:
    QString file(const QByteArray& content)
    {
        const QString path = dir_.filePath(QStringLiteral("song.mp3"));
        EXPECT_TRUE(tag_files::writeFile(path, content));
        return path;
    }

    static Id3v1Tag edits()
    {
        Id3v1Tag tag;
        tag.title = QStringLiteral("New Title");
        tag.artist = QStringLiteral("New Artist");
        tag.album = QStringLiteral("New Album");
        tag.year = QStringLiteral("2004");
        tag.comment = QStringLiteral("New Comment");
        tag.genre = 80;
        return tag;
    }

    // The tag bytes the edits above must give, built by hand.
    static QByteArray expectedEditBytes()
    {
        RawTag raw;
        raw.title = "New Title";
        raw.artist = "New Artist";
        raw.album = "New Album";
        raw.year = "2004";
        raw.comment = "New Comment";
        raw.genre = 80;
        return raw.bytes();
    }

    QTemporaryDir dir_;
};

RawTag oldTag()
{
    RawTag raw;
    raw.title = "Old";
    raw.comment = "Old comment";
    raw.genre = 3;
    raw.pad = '\0';
    return raw;
}

// A buffer whose first write stops part-way, as on a full disk.
class FailingOnceDevice : public QBuffer {
public:
    explicit FailingOnceDevice(QByteArray* data) : QBuffer(data) {}

protected:
    qint64 writeData(const char* data, qint64 size) override
    {
        if (!failed_) {
            failed_ = true;
            QBuffer::writeData(data, std::min<qint64>(size, 10));
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        return QBuffer::writeData(data, size);
    }

private:
    bool failed_ = false;
};

}  // namespace

TEST_F(TagWriting, UntaggedFileGrowsByOneTag)
{
    const QByteArray body = tag_files::body(1000);
    const QString path = file(body);
    const std::optional<TagEditState> read = TagReader::GetTags(path);
    ASSERT_TRUE(read);
    ASSERT_FALSE(read->hasTag);

    const TagWriteResult result = TagWriter().write(*read, edits());
    ASSERT_TRUE(result.ok()) << result.description.toStdString();
    const QByteArray after = tag_files::readFile(path);
    ASSERT_EQ(after.size(), 1128);
    EXPECT_EQ(after.left(1000), body);
    EXPECT_EQ(after.right(128), expectedEditBytes());
}

TEST_F(TagWriting, TaggedFileChangesOnlyInItsLastBytes)
{
    const QByteArray before = tag_files::body(1000) + oldTag().bytes();
    const QString path = file(before);
    const std::optional<TagEditState> read = TagReader::GetTags(path);
    ASSERT_TRUE(read);
    ASSERT_TRUE(read->hasTag);

    ASSERT_TRUE(TagWriter().write(*read, edits()).ok());
    const QByteArray after = tag_files::readFile(path);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after.left(1000), before.left(1000));
    EXPECT_EQ(after.right(128), expectedEditBytes());

    // What was written reads back as written.
    const std::optional<TagEditState> again = TagReader::GetTags(path);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->title, QStringLiteral("New Title"));
    EXPECT_EQ(again->year, QStringLiteral("2004"));
    EXPECT_EQ(again->genre, 80);
}

TEST_F(TagWriting, ShortYearAndEmptyCommentArePadded)
{
    const QString path = file(tag_files::body(200) + oldTag().bytes());
    const std::optional<TagEditState> read = TagReader::GetTags(path);
    ASSERT_TRUE(read);
    Id3v1Tag tag = edits();
    tag.year = QStringLiteral("99");
    tag.comment.clear();
    ASSERT_TRUE(TagWriter().write(*read, tag).ok());
    const QByteArray written = tag_files::readFile(path).right(128);
    EXPECT_EQ(written.mid(93, 4), QByteArray("99  "));
    EXPECT_EQ(written.mid(97, 30), QByteArray("Created with Tolvar MP3 v1.0  "));
}

TEST_F(TagWriting, LongTextIsCutAndNoGenreStores255)
{
    // An untagged file's title is its path, which may be longer than a field.
    const QString path = file(tag_files::body(300));
    const std::optional<TagEditState> read = TagReader::GetTags(path);
    ASSERT_TRUE(read);
    Id3v1Tag tag;
    tag.title = QStringLiteral("/home/someone/Music/a very long folder name/song.mp3");
    tag.year = QStringLiteral("123456");
    tag.genre = Id3v1Tag::genreByte(-1);
    ASSERT_TRUE(TagWriter().write(*read, tag).ok());

    const QByteArray written = tag_files::readFile(path).right(128);
    EXPECT_EQ(written.mid(3, 30), tag.title.left(30).toLatin1());
    EXPECT_EQ(written.mid(93, 4), QByteArray("1234"));
    EXPECT_EQ(static_cast<unsigned char>(written.at(127)), 255);
    const std::optional<TagEditState> again = TagReader::GetTags(path);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->genre, 255);
}

TEST_F(TagWriting, Latin1IsStoredAndAnythingElseIsRefused)
{
    const QByteArray before = tag_files::body(300) + oldTag().bytes();
    const QString path = file(before);
    const std::optional<TagEditState> read = TagReader::GetTags(path);
    ASSERT_TRUE(read);

    Id3v1Tag tag = edits();
    tag.artist = QStringLiteral("Bj\u00f6rk \u00ff");
    ASSERT_TRUE(TagWriter().write(*read, tag).ok());
    EXPECT_EQ(tag_files::readFile(path).mid(300 + 33, 7), QByteArray("Bj\xF6rk \xFF"));

    const std::optional<TagEditState> reread = TagReader::GetTags(path);
    ASSERT_TRUE(reread);
    const QByteArray latin1File = tag_files::readFile(path);
    for (const QString& bad : {QStringLiteral("\u20ac uro"), QStringLiteral("\u6771\u4eac"),
                               QString::fromUtf8("\xF0\x9F\x8E\xB5")}) {
        tag.album = bad;
        const TagWriteResult result = TagWriter().write(*reread, tag);
        EXPECT_EQ(result.status, TagWriteStatus::NotEncodable);
        EXPECT_TRUE(result.messageText().endsWith(QStringLiteral(".  File may be open?")));
        EXPECT_EQ(tag_files::readFile(path), latin1File);
    }
}

TEST_F(TagWriting, FileChangedByAnotherProgramIsLeftAlone)
{
    const QByteArray before = tag_files::body(500) + oldTag().bytes();
    const QString path = file(before);
    const std::optional<TagEditState> read = TagReader::GetTags(path);
    ASSERT_TRUE(read);

    RawTag other = oldTag();
    other.title = "Written elsewhere";
    const QByteArray sameLength = tag_files::body(500) + other.bytes();
    const QByteArray longer = before + tag_files::body(40);
    const QByteArray shorter = before.left(400);
    for (const QByteArray& changed : {sameLength, longer, shorter}) {
        ASSERT_TRUE(tag_files::writeFile(path, changed));
        const TagWriteResult result = TagWriter().write(*read, edits());
        EXPECT_EQ(result.status, TagWriteStatus::FileChanged);
        EXPECT_EQ(tag_files::readFile(path), changed);
    }

    ASSERT_TRUE(QFile::remove(path));
    EXPECT_EQ(TagWriter().write(*read, edits()).status, TagWriteStatus::CannotOpen);
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(TagWriting, ReadOnlyFileGivesWriteErrorAndStaysUnchanged)
{
    if (geteuid() == 0) {
        GTEST_SKIP() << "permissions do not bind root; the injected cases below cover it";
    }
    const QByteArray before = tag_files::body(500) + oldTag().bytes();
    const QString path = file(before);
    const std::optional<TagEditState> read = TagReader::GetTags(path);
    ASSERT_TRUE(read);
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadUser));
    const TagWriteResult result = TagWriter().write(*read, edits());
    EXPECT_EQ(result.status, TagWriteStatus::CannotOpen);
    EXPECT_FALSE(result.description.isEmpty());
    EXPECT_EQ(tag_files::readFile(path), before);
}

TEST_F(TagWriting, FileThatCannotBeOpenedForWritingStaysUnchanged)
{
    const QByteArray before = tag_files::body(500) + oldTag().bytes();
    const QString path = file(before);
    const std::optional<TagEditState> read = TagReader::GetTags(path);
    ASSERT_TRUE(read);

    // As when another program holds the file: it opens for reading only.
    const TagWriter heldElsewhere([](const QString& p) {
        auto f = std::make_unique<QFile>(p);
        f->open(QIODevice::ReadOnly);
        return std::unique_ptr<QIODevice>(std::move(f));
    });
    const TagWriteResult result = heldElsewhere.write(*read, edits());
    EXPECT_EQ(result.status, TagWriteStatus::CannotOpen);
    EXPECT_EQ(result.messageText(),
              QStringLiteral("The file cannot be opened for writing.  File may be open?"));
    EXPECT_EQ(tag_files::readFile(path), before);

    const TagWriter refused([](const QString& p) {
        auto f = std::make_unique<QFile>(p + QStringLiteral(".locked"));
        f->open(QIODevice::ReadWrite | QIODevice::ExistingOnly);
        return std::unique_ptr<QIODevice>(std::move(f));
    });
    const TagWriteResult refusal = refused.write(*read, edits());
    EXPECT_EQ(refusal.status, TagWriteStatus::CannotOpen);
    EXPECT_TRUE(refusal.description.contains(QStringLiteral("No such file")))
        << refusal.description.toStdString();
    EXPECT_EQ(tag_files::readFile(path), before);
}

TEST_F(TagWriting, WriteThatFailsHalfWayPutsTheOldTagBack)
{
    const QByteArray before = tag_files::body(500) + oldTag().bytes();
    const std::optional<TagEditState> read =
        TagReader::interpret(QStringLiteral("buffer"), before.size(), before.right(128));
    ASSERT_TRUE(read);
    QByteArray content = before;
    const TagWriter failing([&content](const QString&) {
        auto device = std::make_unique<FailingOnceDevice>(&content);
        device->open(QIODevice::ReadWrite);
        return std::unique_ptr<QIODevice>(std::move(device));
    });
    const TagWriteResult result = failing.write(*read, edits());
    EXPECT_EQ(result.status, TagWriteStatus::WriteFailed);
    EXPECT_EQ(result.description, QStringLiteral("No space left on device"));
    EXPECT_EQ(content, before);
}
