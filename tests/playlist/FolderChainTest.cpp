// SPDX-License-Identifier: GPL-3.0-or-later
#include "playlist/FolderChain.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

TEST(FolderChain, ShowsTheFoldersAboveAndTheSubfoldersBelow)
{
    QTemporaryDir dir;
    QDir root(dir.path());
    for (const char* name : {"music/Zed", "music/alpha", "music/.cache", "music/Beta"}) {
        ASSERT_TRUE(root.mkpath(QString::fromLatin1(name)));
    }
    QFile(root.filePath(QStringLiteral("music/song.mp3"))).open(QIODevice::WriteOnly);

    FolderChain chain;
    const QString music = root.filePath(QStringLiteral("music"));
    ASSERT_TRUE(chain.open(music));
    EXPECT_EQ(chain.folder(), QDir(music).absolutePath());
    const QStringList shown = chain.model().stringList();
    const int depth = static_cast<int>(QDir(music).absolutePath().count(QLatin1Char('/')));
    ASSERT_EQ(shown.size(), depth + 1 + 3);
    EXPECT_EQ(shown.first(), QStringLiteral("/"));
    EXPECT_EQ(chain.openRow(), depth);
    EXPECT_EQ(shown.at(depth).trimmed(), QStringLiteral("music"));
    EXPECT_EQ(chain.pathAt(0), QStringLiteral("/"));
    EXPECT_EQ(chain.pathAt(depth), chain.folder());
    EXPECT_EQ(chain.pathAt(depth + 1), chain.folder() + QStringLiteral("/alpha"));
    EXPECT_EQ(shown.mid(depth + 1), (QStringList{QString(2 * (depth + 1), ' ') + "alpha",
                                                 QString(2 * (depth + 1), ' ') + "Beta",
                                                 QString(2 * (depth + 1), ' ') + "Zed"}));
    EXPECT_TRUE(chain.pathAt(shown.size()).isEmpty());

    ASSERT_TRUE(chain.open(chain.pathAt(depth - 1)));
    EXPECT_EQ(chain.folder(), QDir(dir.path()).absolutePath());
}

TEST(FolderChain, SomethingThatIsNoFolderChangesNothing)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("plain.mp3"));
    QFile(file).open(QIODevice::WriteOnly);
    FolderChain chain;
    ASSERT_TRUE(chain.open(dir.path()));
    const QStringList before = chain.model().stringList();
    EXPECT_FALSE(chain.open(file));
    EXPECT_FALSE(chain.open(dir.filePath(QStringLiteral("gone"))));
    EXPECT_FALSE(chain.open(QString()));
    EXPECT_EQ(chain.model().stringList(), before);
    EXPECT_EQ(chain.folder(), QDir(dir.path()).absolutePath());
}
