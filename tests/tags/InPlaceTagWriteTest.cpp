// SPDX-License-Identifier: GPL-3.0-or-later
#include "tags/InPlaceTagWrite.h"

#include "TagFiles.h"
#include "common/FileSizeLimit.h"
#include "common/NonRegularFiles.h"
#include "files/IgnoreFileSizeSignal.h"
#include "files/RegularFile.h"
#include "tags/TagReader.h"
#include "tags/TagWriter.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

using tag_files::RawTag;

namespace {

QByteArray oldTag()
{
    RawTag raw;
    raw.title = "Old";
    return raw.bytes();
}

QByteArray newTag()
{
    RawTag raw;
    raw.title = "New";
    raw.artist = "Someone";
    return raw.bytes();
}

// Another program's writes, through its own descriptor.
void appendOther(const QString& path, const QByteArray& bytes)
{
    QFile other(path);
    ASSERT_TRUE(other.open(QIODevice::Append));
    ASSERT_EQ(other.write(bytes), bytes.size());
}

void writeOtherAt(const QString& path, qint64 offset, const QByteArray& bytes)
{
    QFile other(path);
    ASSERT_TRUE(other.open(QIODevice::ReadWrite));
    ASSERT_TRUE(other.seek(offset));
    ASSERT_EQ(other.write(bytes), bytes.size());
}

class TagWriteRace : public ::testing::Test {
protected:
    QString song(const QByteArray& content)
    {
        const QString path = dir_.filePath(QStringLiteral("song%1.mp3").arg(++count_));
        EXPECT_TRUE(tag_files::writeFile(path, content));
        return path;
    }

    QTemporaryDir dir_;
    int count_ = 0;
};

}  // namespace

// Another program writes at one of the two moments of the race. A write
// that reports success never cost the other program a byte; one that fails
// leaves no trace of its own where it could take it back.
TEST_F(TagWriteRace, AnotherWriterAtEitherMomentKeepsItsBytes)
{
    const QByteArray body = tag_files::body(1000);
    const QByteArray others(40, 'o');
    const QByteArray theirTag(128, 'T');
    enum class Moment { None, AfterCheck, AfterWrite };
    enum class Other { Append, RewriteEnd };
    const struct {
        const char* name;
        bool tagged;
        Moment moment;
        Other other;
        TagWriteStatus status;
        QByteArray after;
    } cases[] = {
        {"untagged, alone", false, Moment::None, Other::Append, TagWriteStatus::Written,
         body + newTag()},
        {"tagged, alone", true, Moment::None, Other::Append, TagWriteStatus::Written,
         body + newTag()},
        {"append before the append", false, Moment::AfterCheck, Other::Append,
         TagWriteStatus::FileChanged, body + others},
        {"append after the append", false, Moment::AfterWrite, Other::Append,
         TagWriteStatus::Written, body + newTag() + others},
        {"tag written over ours", false, Moment::AfterWrite, Other::RewriteEnd,
         TagWriteStatus::FileChanged, body + theirTag},
        {"append before the overwrite", true, Moment::AfterCheck, Other::Append,
         TagWriteStatus::FileChanged, body + oldTag() + others},
        {"append after the overwrite", true, Moment::AfterWrite, Other::Append,
         TagWriteStatus::FileChanged, body + oldTag() + others},
        {"tag rewritten after the overwrite", true, Moment::AfterWrite, Other::RewriteEnd,
         TagWriteStatus::FileChanged, body + theirTag},
    };
    for (const auto& c : cases) {
        const QString path = song(c.tagged ? body + oldTag() : body);
        const std::optional<TagEditState> read = TagReader::GetTags(path);
        ASSERT_TRUE(read);
        const std::function<void()> other = [&] {
            if (c.other == Other::Append) {
                appendOther(path, others);
            } else {
                writeOtherAt(path, body.size(), theirTag);
            }
        };
        InPlaceTagWrite::Interleave interleave;
        (c.moment == Moment::AfterCheck ? interleave.afterCheck : interleave.afterWrite) =
            c.moment == Moment::None ? nullptr : other;
        const RegularFile file(path, RegularFile::Access::ReadWrite);
        ASSERT_TRUE(file.isOpen());
        const TagWriteResult result = InPlaceTagWrite(interleave).write(file, *read, newTag());
        EXPECT_EQ(result.status, c.status) << c.name;
        EXPECT_EQ(tag_files::readFile(path), c.after) << c.name;
    }
}

// Another program cuts the file short while the tag is written. The write
// never counts as done, and never grows the file again nor fills it with
// zeros: the file stays as the other program left it.
TEST_F(TagWriteRace, ACutShortFileIsNeverGrownAgain)
{
    const QByteArray body = tag_files::body(1000);
    enum class Moment { AfterCheck, AfterWrite };
    const struct {
        const char* name;
        bool tagged;
        Moment moment;
        qint64 cutTo;
    } cases[] = {
        {"tagged, emptied after the check", true, Moment::AfterCheck, 0},
        {"tagged, halved after the check", true, Moment::AfterCheck, 500},
        {"tagged, cut just below the tag", true, Moment::AfterCheck, 999},
        {"tagged, tag cut off", true, Moment::AfterCheck, 1000},
        {"tagged, cut inside the tag", true, Moment::AfterCheck, 1064},
        {"tagged, halved after the write", true, Moment::AfterWrite, 500},
        {"untagged, halved after the check", false, Moment::AfterCheck, 500},
        {"untagged, halved after the write", false, Moment::AfterWrite, 500},
    };
    for (const auto& c : cases) {
        const QByteArray before = c.tagged ? body + oldTag() : body;
        const QString path = song(before);
        const std::optional<TagEditState> read = TagReader::GetTags(path);
        ASSERT_TRUE(read);
        const std::function<void()> cut = [&] { ASSERT_TRUE(QFile::resize(path, c.cutTo)); };
        InPlaceTagWrite::Interleave interleave;
        (c.moment == Moment::AfterCheck ? interleave.afterCheck : interleave.afterWrite) = cut;
        const RegularFile file(path, RegularFile::Access::ReadWrite);
        ASSERT_TRUE(file.isOpen());
        const TagWriteResult result = InPlaceTagWrite(interleave).write(file, *read, newTag());
        EXPECT_EQ(result.status, TagWriteStatus::FileChanged) << c.name;
        EXPECT_EQ(tag_files::readFile(path), before.left(c.cutTo)) << c.name;
    }
}

// Under `ulimit -f`, a tag that does not fit fails with a message, the
// program goes on and the file is as it was; an overwrite within the limit
// still works.
TEST_F(TagWriteRace, FileSizeLimitFailsTheWriteAndChangesNothing)
{
    IgnoreFileSizeSignal();
    const QByteArray body = tag_files::body(1000);
    Id3v1Tag edited;
    edited.title = QStringLiteral("New");
    const struct {
        const char* name;
        bool tagged;
        rlim_t limit;
        TagWriteStatus status;
        const char* reason;
    } cases[] = {
        {"no room at all", false, 1000, TagWriteStatus::WriteFailed, "too large"},
        {"room for part", false, 1050, TagWriteStatus::WriteFailed, "part of the tag"},
        {"overwrite within", true, 1128, TagWriteStatus::Written, ""},
    };
    for (const auto& c : cases) {
        const QByteArray before = c.tagged ? body + oldTag() : body;
        const QString path = song(before);
        const std::optional<TagEditState> read = TagReader::GetTags(path);
        ASSERT_TRUE(read);
        TagWriteResult result;
        {
            const testing_support::FileSizeLimit limit(c.limit);
            ASSERT_TRUE(limit.set());
            result = TagWriter().write(*read, edited);
        }
        EXPECT_EQ(result.status, c.status) << c.name;
        EXPECT_TRUE(result.description.contains(QString::fromUtf8(c.reason), Qt::CaseInsensitive))
            << c.name << ": " << result.description.toStdString();
        if (!result.ok()) {
            EXPECT_EQ(tag_files::readFile(path), before) << c.name;
        } else {
            EXPECT_EQ(tag_files::readFile(path).size(), before.size()) << c.name;
        }
    }
}

// Writing a tag to a name that is no regular file fails at once, and the
// FIFO gets no bytes.
TEST_F(TagWriteRace, SpecialFilesAreRefusedWithoutWaiting)
{
    const testing_support::NonRegularFiles special(dir_.path(), QStringLiteral(".mp3"));
    ASSERT_EQ(special.entries().size(), 5u);
    for (const auto& entry : special.entries()) {
        const std::optional<TagEditState> read = TagReader::interpret(
            entry.path, 1000 + Id3v1Tag::kSize, tag_files::body(1000 + 128).right(128));
        ASSERT_TRUE(read);
        QElapsedTimer clock;
        clock.start();
        const TagWriteResult result = TagWriter().write(*read, Id3v1Tag{});
        EXPECT_EQ(result.status, TagWriteStatus::CannotOpen) << entry.kind;
        EXPECT_FALSE(result.description.isEmpty()) << entry.kind;
        EXPECT_LT(clock.elapsed(), 1000) << entry.kind;
    }
}
