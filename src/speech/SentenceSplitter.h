// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// Cuts a text into the pieces a voice synthesizes one after another, so that
// the first piece plays while the rest is made: one a sentence, none longer
// than kMaxChars (a longer sentence is cut at a clause, else between words,
// else anywhere), and a long first sentence cut at its first clause so that
// the voice starts promptly. Blank pieces are dropped. Any thread.
class SentenceSplitter {
public:
    static constexpr qsizetype kMaxChars = 250;
    // A first sentence of more words than this is cut at its first clause.
    static constexpr int kQuickStartWords = 10;

    static QStringList split(const QString& text);

private:
    static QStringList sentences(const QString& text);
    static void addBounded(QStringList& pieces, const QString& sentence);
    static QStringList quickStart(const QString& sentence);
};
