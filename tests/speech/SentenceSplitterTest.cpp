// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/SentenceSplitter.h"

#include "SpeechTestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(SentenceSplitterTest, OnePieceASentence)
{
    const struct {
        QString text;
        QStringList pieces;
    } cases[] = {
        {"Hello there. How are you? Fine!", {"Hello there.", "How are you?", "Fine!"}},
        {"He said \"go.\" Then left.", {"He said \"go.\"", "Then left."}},
        {"Pi is 3.14 today... or not", {"Pi is 3.14 today...", "or not"}},
        {"Mr. Smith met Dr. Jones. Done.", {"Mr. Smith met Dr. Jones.", "Done."}},
        {"First part\n\nSecond part", {"First part", "Second part"}},
        {"No end mark", {"No end mark"}},
        {"", {}},
        {"   \t\n ", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SentenceSplitter::split(c.text), c.pieces) << c.text.toStdString();
    }
}

TEST(SentenceSplitterTest, ALongFirstSentenceStartsWithItsFirstClause)
{
    EXPECT_EQ(SentenceSplitter::split("That was Walking on Sunshine, a real classic from the "
                                      "eighties, played for you. Now the news, in brief, for all."),
              QStringList({"That was Walking on Sunshine,",
                           "a real classic from the eighties, played for you.",
                           "Now the news, in brief, for all."}));
    // Short first sentences and clauses of fewer than three words stay whole.
    EXPECT_EQ(SentenceSplitter::split("Yes, this is short."), QStringList({"Yes, this is short."}));
    EXPECT_EQ(SentenceSplitter::split("Well, now we are going to hear a very long list of words"),
              QStringList({"Well, now we are going to hear a very long list of words"}));
}

TEST(SentenceSplitterTest, NoPieceIsLongerThanTheLimit)
{
    const QString clauses = QString("word word word word, ").repeated(40);
    const QString words = QString("word ").repeated(200);
    const QString oneWord(1000, QLatin1Char('a'));
    const QString emoji = QString::fromUtf8("\xF0\x9F\x8E\xB5").repeated(300);
    for (const QString& text : {clauses, words, oneWord, emoji}) {
        const QStringList pieces = SentenceSplitter::split(text);
        QString joined;
        for (const QString& p : pieces) {
            EXPECT_LE(p.size(), SentenceSplitter::kMaxChars);
            EXPECT_FALSE(p.trimmed().isEmpty());
            EXPECT_FALSE(p.back().isHighSurrogate());
            joined += p;
        }
        // Nothing but spaces is lost.
        EXPECT_EQ(joined.remove(QLatin1Char(' ')), QString(text).remove(QLatin1Char(' ')));
    }
    // Clauses are preferred to spaces as cut points.
    for (const QString& p : SentenceSplitter::split(clauses)) {
        EXPECT_TRUE(p.endsWith(QLatin1Char(','))) << p.toStdString();
    }
}

}  // namespace
