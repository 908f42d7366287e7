// SPDX-License-Identifier: GPL-3.0-or-later
#include "playlist/PylFormat.h"
#include "playlist/PylReader.h"

#include <gtest/gtest.h>

namespace {

// The same bytes fed in pieces of `step` bytes.
QStringList readInPieces(const QByteArray& bytes, qsizetype step)
{
    PylReader reader;
    for (qsizetype at = 0; at < bytes.size(); at += step) {
        reader.feed(QByteArrayView(bytes).sliced(at, std::min(step, bytes.size() - at)));
    }
    return reader.finish();
}

}  // namespace

// However the bytes are cut into blocks, the lines are the same; a line
// longer than a path can be is skipped whole, its neighbours kept.
TEST(PylReader, LinesAreTheSameInAnyBlocksAndOverlongOnesAreSkipped)
{
    const QByteArray path4096 = "/" + QByteArray(4095, 'a');
    const QByteArray path4097 = "/" + QByteArray(4096, 'b');
    const struct {
        const char* name;
        QByteArray bytes;
        QStringList entries;
    } cases[] = {
        {"CR LF and bare CR", "/a.mp3\r\n/b.mp3\r/c.mp3", {"/a.mp3", "/b.mp3", "/c.mp3"}},
        {"CR CR LF", "a\r\r\nb\n\r\n", {"a", "b"}},
        {"LF alone", "/a.mp3\n\n/b.mp3\n/c.mp3", {"/a.mp3", "/b.mp3", "/c.mp3"}},
        {"LF CR", "/a.mp3\n\r/b.mp3", {"/a.mp3", "/b.mp3"}},
        {"spaces", "  \r\n  /x y.mp3  \r\n", {"/x y.mp3"}},
        {"byte-order mark",
         "\xEF\xBB\xBF/a.mp3\r\n\xEF\xBB\xBF/b.mp3",
         {"/a.mp3", QChar(0xFEFF) + QString("/b.mp3")}},
        {"byte-order mark alone", "\xEF\xBB\xBF", {}},
        {"longest path kept", path4096 + "\r\n/b.mp3", {QString::fromLatin1(path4096), "/b.mp3"}},
        {"one byte more skipped", "/a.mp3\r\n" + path4097 + "\r\n/b.mp3\r\n", {"/a.mp3", "/b.mp3"}},
        {"spaces count", "/a.mp3\r" + QByteArray(5000, ' ') + "\r/b.mp3", {"/a.mp3", "/b.mp3"}},
        {"overlong last line", "/a.mp3\r\n" + QByteArray(100000, 'z'), {"/a.mp3"}},
        {"megabytes without an end", QByteArray(3 * 1024 * 1024, 'q'), {}},
    };
    for (const auto& c : cases) {
        for (const qsizetype step : {qsizetype{1}, qsizetype{2}, qsizetype{7}, qsizetype{4096},
                                     qsizetype{65536}, c.bytes.size() + 1}) {
            if (step == 1 && c.bytes.size() > 200000) {
                continue;
            }
            EXPECT_EQ(readInPieces(c.bytes, step), c.entries) << c.name << ", step " << step;
        }
        EXPECT_EQ(PylFormat::decode(c.bytes), c.entries) << c.name;
    }
}

TEST(PylReader, StopsAtTheMostEntriesItKeeps)
{
    QByteArray bytes;
    for (qsizetype i = 0; i < PylReader::kMaxEntries + 10; ++i) {
        bytes += "a\r\n";
    }
    PylReader reader;
    reader.feed(bytes);
    EXPECT_TRUE(reader.full());
    EXPECT_EQ(reader.finish().size(), PylReader::kMaxEntries);
}
