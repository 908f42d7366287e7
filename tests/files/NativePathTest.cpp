// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/NativePath.h"

#include <gtest/gtest.h>

namespace {

// File names as the file system gives them: the bytes must come back exactly,
// whatever mix of UTF-8 and other bytes they hold.
TEST(NativePath, NameBytesComeBackExactly)
{
    const struct {
        const char* what;
        QByteArray bytes;
        bool kept;
    } cases[] = {
        {"UTF-8", "/m/caf\xc3\xa9.mp3", false},
        {"Latin-1", "/m/caf\xe9.mp3", true},
        {"beyond U+FFFF", "/m/\xf0\x9f\x8e\xb5.mp3", false},
        // U+B2CB2's second half is a unit a kept byte also uses.
        {"beyond U+FFFF beside a stray byte", "/m/\x93\xf2\xb2\xb2\xb2\x94.mp3", true},
        {"a stray byte, then beyond U+FFFF", "\xb5\xf0\x9f\x8e\xb5", true},
        {"starts with U+FEFF", "\xef\xbb\xbfname.mp3", false},
    };
    for (const auto& c : cases) {
        const QString name = NativePath::fromBytes(c.bytes);
        EXPECT_EQ(NativePath::toBytes(name), c.bytes) << c.what;
        EXPECT_EQ(NativePath::hasKeptBytes(name), c.kept) << c.what;
        EXPECT_FALSE(NativePath::readable(name).contains(QChar(0xDC93))) << c.what;
    }
}

TEST(NativePath, ReadableNamesKeepCharactersBeyondUffff)
{
    const QString name = NativePath::fromBytes("\x93\xf2\xb2\xb2\xb2\x94");
    EXPECT_EQ(NativePath::readable(name),
              QString(QChar(0x201C)) + QString::fromUtf8("\xf2\xb2\xb2\xb2") + QChar(0x201D));
}

}  // namespace
