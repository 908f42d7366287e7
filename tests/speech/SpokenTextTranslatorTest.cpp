// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/SpokenTextTranslator.h"

#include "SpeechTestSupport.h"

#include <gtest/gtest.h>

namespace {

QString simplified(const QString& text)
{
    return text.simplified();
}

QString translate(const QString& text, const VoiceSettings& settings = {})
{
    return simplified(SpokenTextTranslator(settings).translate(text));
}

TEST(SpokenTextTranslatorTest, ClockTimesAreSaidAsAPersonSaysThem)
{
    EXPECT_EQ(translate("Tonights time is 08:05 PM"), "Tonights time is eight oh five P M");
    EXPECT_EQ(translate("at 12:30 AM."), "at twelve thirty A M.");
    EXPECT_EQ(translate("at 11:00 pm"), "at eleven P M");
    EXPECT_EQ(translate("at 7:45 a.m. sharp"), "at seven forty five A M sharp");
    EXPECT_EQ(translate("20:00 news"), "twenty o'clock news");
    EXPECT_EQ(translate("09:10AM"), "nine ten A M");
}

TEST(SpokenTextTranslatorTest, OtherNumbersWithColonsAreLeftAlone)
{
    EXPECT_EQ(translate("3:45:10 elapsed"), "3:45:10 elapsed");
    EXPECT_EQ(translate("score 2:1"), "score 2:1");
    EXPECT_EQ(translate("27:30 and 10:75"), "27:30 and 10:75");
    // "PM" as part of a longer word is no designator.
    EXPECT_EQ(translate("at 08:05 PMS"), "at eight oh five PMS");
}

TEST(SpokenTextTranslatorTest, CharactersTheSynthesizerMustNotSeeBecomeSpaces)
{
    const QString text = QStringLiteral("a") + QChar(0) + "b" + QChar(0x1b) + "c" + QChar(0x7f) +
                         "d" + QChar(0xfffd) + "e" + QChar(0xd800) + "f" + QChar(0xe000) +
                         "g\tline\nnext";
    EXPECT_EQ(SpokenTextTranslator({}).translate(text), "a b c d e f g\tline\nnext");
    // Characters outside the basic plane stay whole.
    const QString emoji = QString::fromUtf8("radio \xF0\x9F\x93\xBB on");
    EXPECT_EQ(SpokenTextTranslator({}).translate(emoji), emoji);
}

TEST(SpokenTextTranslatorTest, PhonemeBracketsInTheTextAreDefused)
{
    const QString out = SpokenTextTranslator({}).translate("say [[hEl'oU]] and [[[x]]");
    EXPECT_FALSE(out.contains("[[")) << out.toStdString();
    EXPECT_TRUE(out.contains("hEl'oU"));
}

TEST(SpokenTextTranslatorTest, LexiconReplacesWholeWordsIgnoringCase)
{
    VoiceSettings s;
    s.lexicon = {{"Tolvar", "Toll var", false},
                 {"New", "Knew", false},
                 {"New York", "Big Apple", false},
                 {"R2D2", "artoo detoo", false}};
    s.numbers = NumbersMode::Digits;
    EXPECT_EQ(translate("TOLVAR plays Tolvars in new york", s),
              "Toll var plays Tolvars in Big Apple");
    // Replacements are not translated again.
    EXPECT_EQ(translate("R2D2 is 42", s), "artoo detoo is 4 2");
}

TEST(SpokenTextTranslatorTest, PhonemeEntriesAreProtectedFromOtherSteps)
{
    VoiceSettings s;
    s.lexicon = {{"hello", "h@l'oU", true}, {"bad", "[[b]]a]]d", true}};
    EXPECT_EQ(translate("hello, bad", s), "[[h@l'oU]] , [[bad]]");
}

TEST(SpokenTextTranslatorTest, SymbolsAndAbbreviationsFollowTheSettings)
{
    VoiceSettings s;
    EXPECT_EQ(translate("50% of Smith&Jones, e.g. you@home", s),
              "50 percent of Smith and Jones, for example you at home");
    EXPECT_EQ(translate("apples, pears etc.", s), "apples, pears et cetera.");
    EXPECT_EQ(translate("I.E. this", s), "that is this");
    // "$" is the voice's own unless told otherwise; then the amount comes first.
    EXPECT_EQ(translate("$5 now", s), "$5 now");
    for (SymbolReading& r : s.symbols) {
        if (r.symbol == "$") {
            r.sayAs = "bucks";
        }
        if (r.symbol == "%") {
            r.sayAs.clear();
        }
    }
    EXPECT_EQ(translate("$5 and $1,200.50 in $", s), "5 bucks and 1,200.50 bucks in bucks");
    EXPECT_EQ(translate("50%", s), "50%");
}

TEST(SpokenTextTranslatorTest, DigitModeReadsNumbersDigitByDigit)
{
    VoiceSettings s;
    s.numbers = NumbersMode::Digits;
    EXPECT_EQ(translate("Call 2024 at 08:05 PM", s), "Call 2 0 2 4 at eight oh five P M");
    EXPECT_EQ(translate("Call 2024", {}), "Call 2024");
}

// A text of 100,000 characters is translated whole, every piece of it as that
// piece alone is: no rule stops part way or carries over into the next piece.
TEST(SpokenTextTranslatorTest, ALongTextTranslatesAsItsPiecesDo)
{
    VoiceSettings s;
    s.lexicon = {{"radio", "ray dee oh", false}};
    const QString piece = QStringLiteral("The radio plays at 08:05 PM, 50% & more e.g. [[x]] ");
    QString text;
    QString expected;
    const QString translatedPiece = translate(piece, s);
    while (text.size() < 100000) {
        text += piece;
        expected += translatedPiece + QLatin1Char(' ');
    }
    const QString out = translate(text, s);
    EXPECT_TRUE(translatedPiece.contains("ray dee oh"));
    EXPECT_FALSE(translatedPiece.contains("[["));
    EXPECT_EQ(out, simplified(expected));
}

TEST(SpokenTextTranslatorTest, ForFliteTheTextNamesMarksAndCapitals)
{
    const auto flite = [](const QString& text, const VoiceSettings& s) {
        return simplified(SpokenTextTranslator(s, VoiceFamily::Flite).translate(text));
    };
    VoiceSettings s;
    s.lexicon = {{"hello", "h@l'oU", true}, {"Tolvar", "Toll var", false}};
    // Phoneme codes are espeak-ng's: flite says the word as written.
    EXPECT_EQ(flite("hello Tolvar!", s), "hello Toll var!");
    EXPECT_EQ(translate("hello Tolvar!", s), "[[h@l'oU]] Toll var!");

    s.punctuation = PunctuationMode::All;
    EXPECT_EQ(flite("Hi, don't go (now) at 3.5!", s),
              "Hi comma, don't go left paren(now right paren) at 3.5 exclamation mark!");
    s.punctuation = PunctuationMode::Some;
    s.punctuationList = "?";
    EXPECT_EQ(flite("Why, me?", s), "Why, me question mark?");
    // espeak-ng names them itself.
    EXPECT_EQ(translate("Why, me?", s), "Why, me?");

    s.punctuation = PunctuationMode::None;
    s.capitals = CapitalsMode::SayCapital;
    EXPECT_EQ(flite("Ann met bob in Paris", s), "capital Ann met bob in capital Paris");
    s.capitals = CapitalsMode::RaisePitch;
    EXPECT_EQ(flite("Ann met bob", s), "Ann met bob");
}

}  // namespace
