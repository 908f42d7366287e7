// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/SentenceSplitter.h"

#include <QRegularExpression>

namespace {
// Titles whose period ends no sentence.
bool isTitle(QStringView word)
{
    static const QStringList titles = {
        QStringLiteral("mr"), QStringLiteral("mrs"), QStringLiteral("ms"), QStringLiteral("dr"),
        QStringLiteral("st"), QStringLiteral("jr"),  QStringLiteral("sr"), QStringLiteral("prof")};
    for (const QString& t : titles) {
        if (word.compare(t, Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

bool isClauseMark(QChar c)
{
    return c == u',' || c == u';' || c == u':';
}

// Where a piece of at most limit characters from 'from' best ends: after a
// clause mark, else at a space, else at the limit.
qsizetype cutPoint(const QString& text, qsizetype from, qsizetype limit)
{
    const qsizetype end = from + limit;
    qsizetype space = -1;
    for (qsizetype i = end; i > from; --i) {
        const QChar c = text.at(i - 1);
        if (isClauseMark(c) && text.at(i).isSpace()) {
            return i;
        }
        if (space < 0 && c.isSpace()) {
            space = i;
        }
    }
    if (space > from) {
        return space;
    }
    // Never between the halves of a character outside the basic plane.
    return text.at(end - 1).isHighSurrogate() ? end - 1 : end;
}
}  // namespace

QStringList SentenceSplitter::split(const QString& text)
{
    QStringList pieces;
    const QStringList all = sentences(text);
    for (qsizetype i = 0; i < all.size(); ++i) {
        const QStringList parts = i == 0 ? quickStart(all.at(i)) : QStringList{all.at(i)};
        for (const QString& part : parts) {
            addBounded(pieces, part);
        }
    }
    return pieces;
}

QStringList SentenceSplitter::sentences(const QString& text)
{
    // Marks that end a sentence, closing quotes or brackets, then a space.
    static const QRegularExpression end(QStringLiteral("[.!?]+[\"')\\]]*(?=\\s)|\\n\\s*\\n"));
    QStringList out;
    qsizetype start = 0;
    auto it = end.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured().startsWith(QLatin1Char('.')) && m.capturedLength() == 1) {
            static const QRegularExpression lastWord(QStringLiteral("(\\w+)$"));
            const QString before = text.mid(start, m.capturedStart() - start);
            const QRegularExpressionMatch w = lastWord.match(before);
            if (w.hasMatch() && isTitle(w.capturedView(1))) {
                continue;
            }
        }
        out << text.mid(start, m.capturedEnd() - start);
        start = m.capturedEnd();
    }
    out << text.mid(start);
    return out;
}

void SentenceSplitter::addBounded(QStringList& pieces, const QString& sentence)
{
    const QString s = sentence.trimmed();
    qsizetype from = 0;
    while (s.size() - from > kMaxChars) {
        const qsizetype cut = cutPoint(s, from, kMaxChars);
        const QString piece = s.mid(from, cut - from).trimmed();
        if (!piece.isEmpty()) {
            pieces << piece;
        }
        from = cut;
    }
    const QString rest = s.mid(from).trimmed();
    if (!rest.isEmpty()) {
        pieces << rest;
    }
}

QStringList SentenceSplitter::quickStart(const QString& sentence)
{
    const QStringList words =
        sentence.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    if (words.size() <= kQuickStartWords) {
        return {sentence};
    }
    // The first clause mark after a few words, followed by a space.
    int seen = 0;
    bool inWord = false;
    for (qsizetype i = 0; i + 1 < sentence.size(); ++i) {
        const QChar c = sentence.at(i);
        if (!c.isSpace() && !inWord) {
            ++seen;
        }
        inWord = !c.isSpace();
        if (seen >= 3 && isClauseMark(c) && sentence.at(i + 1).isSpace()) {
            return {sentence.left(i + 1), sentence.mid(i + 1)};
        }
    }
    return {sentence};
}
