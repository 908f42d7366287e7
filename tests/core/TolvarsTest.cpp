#include "core/Tolvars.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

TEST(Tolvars, SongLookupIsOneBasedAndBounded)
{
    Tolvars state;
    state.SongList = {QStringLiteral("/a.mp3"), QStringLiteral("/b.mp3")};
    EXPECT_EQ(state.song(1), QStringLiteral("/a.mp3"));
    EXPECT_EQ(state.song(2), QStringLiteral("/b.mp3"));
    EXPECT_FALSE(state.song(0).has_value());
    EXPECT_FALSE(state.song(3).has_value());
    EXPECT_FALSE(state.song(-1).has_value());
}

TEST(Tolvars, FileExistsNeedsAFileWithContent)
{
    QTemporaryDir dir;
    const QString empty = dir.filePath(QStringLiteral("empty.mp3"));
    const QString full = dir.filePath(QStringLiteral("full.mp3"));
    QFile(empty).open(QIODevice::WriteOnly);
    QFile f(full);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("x");
    f.close();

    EXPECT_FALSE(FileExists(empty));
    EXPECT_TRUE(FileExists(full));
    EXPECT_FALSE(FileExists(dir.filePath(QStringLiteral("missing.mp3"))));
    EXPECT_FALSE(FileExists(dir.path()));
}

TEST(RandomSource, SameSeedSameDrawsAllInUnitInterval)
{
    RandomSource a;
    RandomSource b;
    a.seed(42);
    b.seed(42);
    for (int i = 0; i < 1000; ++i) {
        const double x = a.next();
        EXPECT_EQ(x, b.next());
        EXPECT_GE(x, 0.0);
        EXPECT_LT(x, 1.0);
    }
}
