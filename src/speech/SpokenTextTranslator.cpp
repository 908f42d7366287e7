// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/SpokenTextTranslator.h"

#include <QHash>
#include <QLocale>
#include <QStringList>
#include <algorithm>

namespace {
// Lexicon matches are parked on private-use characters while the other steps
// run, so that numbers, symbols and times inside them stay untouched. The
// input never contains such characters: clean() turns them into spaces.
constexpr char16_t kFirstPlaceholder = 0xE000;
constexpr char16_t kLastPlaceholder = 0xF8FF;

const QString kWordEdgeBefore = QStringLiteral("(?<![\\p{L}\\p{N}_])");
const QString kWordEdgeAfter = QStringLiteral("(?![\\p{L}\\p{N}_])");

bool isPlaceholder(QChar c)
{
    return c.unicode() >= kFirstPlaceholder && c.unicode() <= kLastPlaceholder;
}

// Controls, NUL, lone surrogates, noncharacters, byte-order marks, the
// replacement character of broken encodings and private-use characters
// become spaces: the synthesizer stops at NUL and reads the others as noise.
QString clean(const QString& text)
{
    QString out = text;
    for (qsizetype i = 0; i < out.size(); ++i) {
        const char16_t c = out.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < out.size() &&
            QChar::isLowSurrogate(out.at(i + 1).unicode())) {
            const char32_t full = QChar::surrogateToUcs4(c, out.at(i + 1).unicode());
            if (QChar::isNonCharacter(full) || (full >= 0xF0000)) {
                out[i] = QLatin1Char(' ');
                out[i + 1] = QLatin1Char(' ');
            }
            ++i;
            continue;
        }
        const bool control =
            (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') || (c >= 0x7F && c <= 0x9F);
        const bool broken = QChar::isSurrogate(c) || QChar::isNonCharacter(c) || c == 0xFFFD ||
                            c == 0xFEFF || isPlaceholder(QChar(c));
        if (control || broken) {
            out[i] = QLatin1Char(' ');
        }
    }
    // "[[" opens phoneme codes for the synthesizer; the text's own brackets
    // are read as brackets.
    static const QRegularExpression doubleBracket(QStringLiteral("\\[(?=\\[)"));
    out.replace(doubleBracket, QStringLiteral("[ "));
    return out;
}

QString numberWords(int n)
{
    static const char* const ones[] = {"zero",    "one",     "two",       "three",    "four",
                                       "five",    "six",     "seven",     "eight",    "nine",
                                       "ten",     "eleven",  "twelve",    "thirteen", "fourteen",
                                       "fifteen", "sixteen", "seventeen", "eighteen", "nineteen"};
    static const char* const tens[] = {"", "", "twenty", "thirty", "forty", "fifty"};
    if (n < 20) {
        return QLatin1String(ones[n]);
    }
    const QString ten = QLatin1String(tens[n / 10]);
    return n % 10 == 0 ? ten : ten + QLatin1Char(' ') + QLatin1String(ones[n % 10]);
}

// The text with every match of re replaced by what make returns for it.
template <typename Make>
QString replaceMatches(const QString& text, const QRegularExpression& re, Make make)
{
    QString out;
    qsizetype last = 0;
    auto it = re.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(text).mid(last, m.capturedStart() - last);
        out += make(m);
        last = m.capturedEnd();
    }
    out += QStringView(text).mid(last);
    return out;
}

// How punctuation is named where the text has to name it.
QString markName(QChar mark)
{
    static const QHash<char16_t, QString> names = {
        {u'.', QStringLiteral("period")},
        {u',', QStringLiteral("comma")},
        {u'?', QStringLiteral("question mark")},
        {u'!', QStringLiteral("exclamation mark")},
        {u';', QStringLiteral("semicolon")},
        {u':', QStringLiteral("colon")},
        {u'\'', QStringLiteral("apostrophe")},
        {u'"', QStringLiteral("quote")},
        {u'(', QStringLiteral("left paren")},
        {u')', QStringLiteral("right paren")},
        {u'[', QStringLiteral("left bracket")},
        {u']', QStringLiteral("right bracket")},
        {u'{', QStringLiteral("left brace")},
        {u'}', QStringLiteral("right brace")},
        {u'-', QStringLiteral("hyphen")},
        {u'/', QStringLiteral("slash")},
        {u'\\', QStringLiteral("backslash")},
        {u'*', QStringLiteral("star")},
        {u'_', QStringLiteral("underscore")},
        {u'<', QStringLiteral("less than")},
        {u'>', QStringLiteral("greater than")},
        {u'=', QStringLiteral("equals")},
        {u'~', QStringLiteral("tilde")},
        {u'^', QStringLiteral("caret")},
        {u'|', QStringLiteral("bar")},
        {u'`', QStringLiteral("back quote")},
        {u'@', QStringLiteral("at")},
        {u'#', QStringLiteral("hash")},
        {u'$', QStringLiteral("dollar")},
        {u'%', QStringLiteral("percent")},
        {u'&', QStringLiteral("and")},
        {u'+', QStringLiteral("plus")},
    };
    return names.value(mark.unicode());
}

bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

bool isAbbreviation(const QString& symbol)
{
    return symbol.size() > 1 && symbol.endsWith(QLatin1Char('.'));
}

QString spokenDesignator(const QString& designator)
{
    const QString letters = designator.toUpper().remove(QLatin1Char('.')).remove(QLatin1Char(' '));
    if (letters == QLatin1String("AM")) {
        return QStringLiteral("A M");
    }
    if (letters == QLatin1String("PM")) {
        return QStringLiteral("P M");
    }
    return designator;
}
}  // namespace

SpokenTextTranslator::SpokenTextTranslator(const VoiceSettings& settings, VoiceFamily family)
    : settings_(settings.normalized()), family_(family)
{
    if (family_ != VoiceFamily::EspeakNg) {
        settings_.lexicon.removeIf([](const LexiconEntry& e) { return e.phonemes; });
    }
    QStringList words;
    for (const LexiconEntry& entry : settings_.lexicon) {
        words << QRegularExpression::escape(entry.word);
    }
    // Longest first, so "New York" wins over "New".
    std::sort(words.begin(), words.end(),
              [](const QString& a, const QString& b) { return a.size() > b.size(); });
    if (!words.isEmpty()) {
        lexiconPattern_.setPattern(kWordEdgeBefore + QStringLiteral("(?:") +
                                   words.join(QLatin1Char('|')) + QStringLiteral(")") +
                                   kWordEdgeAfter);
        lexiconPattern_.setPatternOptions(QRegularExpression::CaseInsensitiveOption |
                                          QRegularExpression::UseUnicodePropertiesOption);
    }

    // "AM" or "a.m."; a period after "AM" is left to end the sentence.
    QString designators = QStringLiteral("[AaPp][Mm]|[AaPp]\\.\\s?[Mm]\\.");
    const QLocale locale;
    for (const QString& d : {locale.amText(), locale.pmText()}) {
        if (!d.isEmpty()) {
            designators += QLatin1Char('|') + QRegularExpression::escape(d);
        }
    }
    clockPattern_.setPattern(QStringLiteral("(?<![\\d:.,])([01]?\\d|2[0-3]):([0-5]\\d)(?![\\d:])"
                                            "(?:\\s?(") +
                             designators + QStringLiteral(")(?![\\p{L}]))?"));
    clockPattern_.setPatternOptions(QRegularExpression::UseUnicodePropertiesOption);
}

QString SpokenTextTranslator::translate(const QString& text) const
{
    QString out = clean(text);
    out = applyLexicon(out);
    out = sayClockTimes(out);
    out = saySymbols(out);
    if (settings_.numbers == NumbersMode::Digits) {
        static const QRegularExpression digitPair(QStringLiteral("(\\d)(?=\\d)"));
        out.replace(digitPair, QStringLiteral("\\1 "));
    }
    out = expandLexicon(out);
    if (family_ != VoiceFamily::EspeakNg) {
        out = nameCapitals(namePunctuation(out));
    }
    return out;
}

QString SpokenTextTranslator::clockTimeWords(int hour, int minute, const QString& designator)
{
    QString words = numberWords(hour);
    if (minute == 0) {
        if (designator.isEmpty()) {
            words += QStringLiteral(" o'clock");
        }
    } else if (minute < 10) {
        words += QStringLiteral(" oh ") + numberWords(minute);
    } else {
        words += QLatin1Char(' ') + numberWords(minute);
    }
    if (!designator.isEmpty()) {
        words += QLatin1Char(' ') + spokenDesignator(designator);
    }
    return words;
}

QString SpokenTextTranslator::applyLexicon(const QString& text) const
{
    if (settings_.lexicon.isEmpty()) {
        return text;
    }
    return replaceMatches(text, lexiconPattern_, [&](const QRegularExpressionMatch& m) {
        const auto entry = std::find_if(
            settings_.lexicon.begin(), settings_.lexicon.end(), [&](const LexiconEntry& e) {
                return e.word.compare(m.captured(), Qt::CaseInsensitive) == 0;
            });
        const auto index = std::distance(settings_.lexicon.begin(), entry);
        if (entry == settings_.lexicon.end() || index > kLastPlaceholder - kFirstPlaceholder) {
            return m.captured();
        }
        return QString(QChar(static_cast<char16_t>(kFirstPlaceholder + index)));
    });
}

QString SpokenTextTranslator::expandLexicon(const QString& text) const
{
    if (settings_.lexicon.isEmpty()) {
        return text;
    }
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (!isPlaceholder(c)) {
            out += c;
            continue;
        }
        const LexiconEntry& entry = settings_.lexicon.at(c.unicode() - kFirstPlaceholder);
        if (entry.phonemes) {
            QString codes = entry.sayAs;
            codes.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
            out += QStringLiteral(" [[") + clean(codes) + QStringLiteral("]] ");
        } else {
            out += clean(entry.sayAs);
        }
    }
    return out;
}

QString SpokenTextTranslator::sayClockTimes(const QString& text) const
{
    return replaceMatches(text, clockPattern_, [](const QRegularExpressionMatch& m) {
        return clockTimeWords(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3));
    });
}

QString SpokenTextTranslator::saySymbols(const QString& text) const
{
    QString out = text;
    for (const SymbolReading& symbol : settings_.symbols) {
        if (symbol.sayAs.isEmpty()) {
            continue;
        }
        const QString sayAs = clean(symbol.sayAs);
        const QString escaped = QRegularExpression::escape(symbol.symbol);
        if (isAbbreviation(symbol.symbol)) {
            const QRegularExpression re(kWordEdgeBefore + escaped,
                                        QRegularExpression::CaseInsensitiveOption |
                                            QRegularExpression::UseUnicodePropertiesOption);
            out = replaceMatches(out, re, [&](const QRegularExpressionMatch& m) {
                // Last in the text, the abbreviation's period also ended the sentence.
                const bool last = QStringView(out).mid(m.capturedEnd()).trimmed().isEmpty();
                return QLatin1Char(' ') + sayAs + (last ? QStringLiteral(".") : QString());
            });
        } else if (symbol.symbol == QLatin1String("$")) {
            // "$5" is said "5 dollars": the amount comes first.
            static const QRegularExpression amount(
                QStringLiteral("\\$\\s?(\\d[\\d,]*(?:\\.\\d+)?)"));
            out = replaceMatches(out, amount, [&](const QRegularExpressionMatch& m) {
                return m.captured(1) + QLatin1Char(' ') + sayAs + QLatin1Char(' ');
            });
            out.replace(symbol.symbol, QLatin1Char(' ') + sayAs + QLatin1Char(' '));
        } else {
            out.replace(symbol.symbol, QLatin1Char(' ') + sayAs + QLatin1Char(' '));
        }
    }
    return out;
}

QString SpokenTextTranslator::namePunctuation(const QString& text) const
{
    if (settings_.punctuation == PunctuationMode::None) {
        return text;
    }
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const bool listed =
            settings_.punctuation == PunctuationMode::All || settings_.punctuationList.contains(c);
        // A mark inside a word ("don't", "3.5") is part of it.
        const bool inWord = i > 0 && i + 1 < text.size() && isWordCharacter(text.at(i - 1)) &&
                            isWordCharacter(text.at(i + 1));
        const QString name = listed && !inWord ? markName(c) : QString();
        if (!name.isEmpty()) {
            // The mark stays behind its name, for the voice's phrasing.
            out += QLatin1Char(' ') + name;
        }
        out += c;
    }
    return out;
}

QString SpokenTextTranslator::nameCapitals(const QString& text) const
{
    // Pitch cannot be raised word by word from the text: only the spoken
    // word marks capitals here.
    if (settings_.capitals != CapitalsMode::SayCapital) {
        return text;
    }
    static const QRegularExpression capitalized(QStringLiteral("(?<![\\p{L}\\p{N}_'])(?=\\p{Lu})"),
                                                QRegularExpression::UseUnicodePropertiesOption);
    QString out = text;
    return out.replace(capitalized, QStringLiteral("capital "));
}
