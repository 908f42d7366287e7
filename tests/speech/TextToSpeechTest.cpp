// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecordingVoiceOutput.h"
#include "SpeechTestSupport.h"
#include "WordLog.h"
#include "common/TestSupport.h"
#include "speech/TextToSpeech.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>

using speech_test::kEspeakEnglish;
using speech_test::kFliteSlt;
using speech_test::rms;
using speech_test::waitSilent;

namespace {

// espeak-ng's main English voice.
class TextToSpeechTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        talk.setWordListener(log.listener());
        talk.selectEngine(talk.engineForIdentity(kEspeakEnglish));
    }

    std::vector<std::int16_t> say(const QString& text)
    {
        output.clear();
        talk.speak(text);
        EXPECT_TRUE(waitSilent(talk)) << text.toStdString();
        return output.samples();
    }
    double seconds(const std::vector<std::int16_t>& samples) const
    {
        return double(samples.size()) / output.sampleRate();
    }

    testing_support::SettingsSandbox sandbox;
    RecordingVoiceOutput output;
    TextToSpeech talk{output};
    WordLog log;
};

TEST_F(TextToSpeechTest, SpeaksAudibleMonoPcmOfAPlausibleLength)
{
    const auto pcm = say(QStringLiteral("Hello, this is your radio announcer speaking."));
    EXPECT_EQ(output.channels(), 1);
    EXPECT_EQ(output.sampleRate(), 22050);
    // Seven words at 165 words per minute: about two and a half seconds.
    EXPECT_GT(seconds(pcm), 1.2);
    EXPECT_LT(seconds(pcm), 5.0);
    EXPECT_GT(rms(pcm), 500.0);
    EXPECT_EQ(log.text(), QString("hello this is your radio announcer speaking").split(' '));
}

TEST_F(TextToSpeechTest, SpeakReturnsAtOnceAndIsSpeakingUntilDone)
{
    QElapsedTimer timer;
    timer.start();
    talk.speak(QStringLiteral("A sentence that takes a few seconds to say out loud, at least."));
    EXPECT_EQ(talk.speakingState(), 1);
    EXPECT_LT(timer.elapsed(), 200);
    EXPECT_TRUE(waitSilent(talk));
    EXPECT_GT(output.framesPushed(), 22050u);
}

TEST_F(TextToSpeechTest, TextsHandedOverTogetherAreSpokenInOrder)
{
    talk.speak(QStringLiteral("Alpha bravo charlie."));
    talk.speak(QStringLiteral("Delta echo."));
    talk.speak(QStringLiteral("Foxtrot."));
    ASSERT_TRUE(waitSilent(talk));
    const auto words = log.words();
    QStringList said;
    std::uint64_t lastText = 0;
    for (const SpokenWord& w : words) {
        EXPECT_GE(w.textNumber, lastText);
        lastText = w.textNumber;
        said << w.word.toLower();
    }
    EXPECT_EQ(said, QString("alpha bravo charlie delta echo foxtrot").split(' '));
    EXPECT_EQ(log.text(2), QString("delta echo").split(' '));
}

TEST_F(TextToSpeechTest, ClockTimesAreSaidAsAPersonSaysThem)
{
    const QString text = QStringLiteral("Tonights time is 08:05 PM");
    say(text);
    EXPECT_EQ(log.text(), QString("tonights time is eight oh five p m").split(' '));
    EXPECT_EQ(text, QStringLiteral("Tonights time is 08:05 PM"));
}

TEST_F(TextToSpeechTest, MarkupIsReadNotObeyed)
{
    say(QStringLiteral("<speak><prosody rate=\"x-slow\">Hi</prosody><break time=\"9s\"/></speak>"));
    const QStringList words = log.text();
    EXPECT_TRUE(words.contains("speak")) << words.join(' ').toStdString();
    EXPECT_TRUE(words.contains("prosody"));
    EXPECT_TRUE(words.contains("break"));

    // Phoneme brackets in a text are characters too: the letters are read.
    log.clear();
    const auto pcm = say(QStringLiteral("[[h@l'oU]]"));
    EXPECT_FALSE(log.text().isEmpty());
    EXPECT_GT(rms(pcm), 100.0);
}

TEST_F(TextToSpeechTest, LaterSpeedIsSlowerForLowerValues)
{
    const QString sentence = QStringLiteral("The quick brown fox jumps over the lazy dog.");
    talk.setSpeed(80);
    const double slow = seconds(say(sentence));
    talk.setSpeed(165);
    const double normal = seconds(say(sentence));
    talk.setSpeed(400);
    const double fast = seconds(say(sentence));
    EXPECT_GT(slow, normal * 1.4);
    EXPECT_GT(normal, fast * 1.6);
}

TEST_F(TextToSpeechTest, EverySpeedStepIsFasterThanTheOneBelow)
{
    // Around each place where the synthesizer's own rate changes, and both
    // ends. Steps of one are used only where one step is clearly longer than
    // the synthesizer's own jitter (up to two pitch periods a text).
    const int speeds[] = {10,  11,  40,  79,  80,  81,  95,  96,  97,  137, 138, 139, 160,
                          165, 170, 285, 286, 400, 410, 420, 440, 449, 450, 460, 480, 500};
    // Long enough that the synthesizer's own jitter of a few milliseconds is
    // smaller than one step.
    const QString sentence = QStringLiteral(
        "Now back to the music, with more hits from the eighties, the nineties and today, "
        "all night long on your favourite radio station.");
    double previous = 1e9;
    for (int speed : speeds) {
        talk.setSpeed(speed);
        const double length = seconds(say(sentence));
        EXPECT_LT(length, previous) << "speed " << speed;
        previous = length;
    }
}

TEST_F(TextToSpeechTest, SpeedIsKeptWithinItsRange)
{
    EXPECT_EQ(talk.speed(), 165);
    talk.setSpeed(5);
    EXPECT_EQ(talk.speed(), 10);
    talk.setSpeed(9999);
    EXPECT_EQ(talk.speed(), 500);
}

TEST_F(TextToSpeechTest, ListsInstalledVoicesAndVariantsEnglishFirst)
{
    const int count = talk.engineCount();
    ASSERT_GT(count, 50);
    EXPECT_EQ(talk.engineDialect(1), QStringLiteral("en-us"));
    bool pastEnglish = false;
    int female = 0;
    int male = 0;
    bool aged = false;
    QStringList identities;
    for (int n = 1; n <= count; ++n) {
        const bool english = talk.engineDialect(n).startsWith(QLatin1String("en"));
        EXPECT_FALSE(english && pastEnglish) << "engine " << n << " after other languages";
        pastEnglish = pastEnglish || !english;
        const bool flite = talk.engineIdentity(n).startsWith(QLatin1String("flite:"));
        EXPECT_EQ(talk.engineManufacturer(n),
                  flite ? QStringLiteral("CMU Flite") : QStringLiteral("eSpeak NG"));
        EXPECT_TRUE(talk.engineListEntry(n).contains(talk.engineName(n)));
        EXPECT_TRUE(talk.engineListEntry(n).contains(talk.engineDialect(n)));
        EXPECT_FALSE(talk.engineSpeaker(n).isEmpty());
        EXPECT_FALSE(talk.engineStyle(n).isEmpty());
        const int gender = talk.engineGender(n);
        female += gender == 1;
        male += gender == 2;
        aged = aged || talk.engineAge(n) > 0;
        identities << talk.engineIdentity(n);
        EXPECT_EQ(talk.engineForIdentity(identities.last()), n) << "identities are unique";
    }
    EXPECT_GT(female, 5);
    EXPECT_GT(male, 5);
    EXPECT_TRUE(aged);
    EXPECT_EQ(talk.engineForIdentity(QStringLiteral("espeak-ng:no-such-voice")), 0);
}

TEST_F(TextToSpeechTest, EngineNumbersOutOfRangeFail)
{
    const int count = talk.engineCount();
    EXPECT_THROW(talk.selectEngine(0), SpeechError);
    EXPECT_THROW(talk.selectEngine(count + 1), SpeechError);
    EXPECT_THROW(talk.selectEngine(-3), SpeechError);
    EXPECT_THROW(talk.engineName(count + 1), SpeechError);
    EXPECT_THROW(talk.engineGender(0), SpeechError);
    EXPECT_THROW(talk.engineManufacturer(0), SpeechError);
    EXPECT_NO_THROW(talk.selectEngine(count));
    EXPECT_EQ(talk.selectedEngine(), count);
}

TEST_F(TextToSpeechTest, SelectedEngineChangesTheVoice)
{
    const QString sentence = QStringLiteral("Good evening everybody.");
    const auto first = say(sentence);
    int female = 0;
    for (int n = 1; n <= talk.engineCount() && female == 0; ++n) {
        if (talk.engineGender(n) == 1 && talk.engineDialect(n) == QLatin1String("en-us")) {
            female = n;
        }
    }
    ASSERT_GT(female, 0);
    talk.selectEngine(female);
    const auto other = say(sentence);
    EXPECT_GT(rms(other), 100.0);
    EXPECT_NE(first, other);
}

TEST_F(TextToSpeechTest, LexiconChangesWhatIsSaid)
{
    VoiceSettings settings = talk.voiceSettings();
    settings.lexicon = {{QStringLiteral("Tolvar"), QStringLiteral("Toll var"), false}};
    talk.applyVoiceSettings(settings);
    say(QStringLiteral("Welcome to tolvar radio."));
    EXPECT_EQ(log.text(), QString("welcome to toll var radio").split(' '));

    // Phoneme codes: "cat" said with the sounds of "dog" sounds like "dog".
    const auto dog = say(QStringLiteral("dog"));
    settings.lexicon = {{QStringLiteral("cat"), QStringLiteral("d'0g"), true}};
    talk.applyVoiceSettings(settings);
    const auto cat = say(QStringLiteral("cat"));
    ASSERT_GT(rms(cat), 100.0);
    EXPECT_NEAR(double(cat.size()), double(dog.size()), dog.size() * 0.15);
}

TEST_F(TextToSpeechTest, VoiceSettingsApplyToTheNextText)
{
    const QString sentence = QStringLiteral("Testing the volume.");
    VoiceSettings settings = talk.voiceSettings();
    settings.volume = 40;
    talk.applyVoiceSettings(settings);
    const double quiet = rms(say(sentence));
    settings.volume = 160;
    talk.applyVoiceSettings(settings);
    const double loud = rms(say(sentence));
    EXPECT_GT(loud, quiet * 2.5);

    settings.wordGapMs = 300;
    talk.applyVoiceSettings(settings);
    const auto gapped = say(QStringLiteral("one two three four"));
    settings.wordGapMs = 0;
    talk.applyVoiceSettings(settings);
    const auto plain = say(QStringLiteral("one two three four"));
    EXPECT_NEAR(seconds(gapped) - seconds(plain), 0.9, 0.05);
}

TEST_F(TextToSpeechTest, TranslationSettingsChangeWhatIsSaid)
{
    VoiceSettings settings = talk.voiceSettings();
    settings.numbers = NumbersMode::Digits;
    settings.symbols[0].sayAs = QStringLiteral("percentage");  // "%"
    talk.applyVoiceSettings(settings);
    say(QStringLiteral("42%"));
    EXPECT_EQ(log.text(), QString("4 2 percentage").split(' '));
}

TEST_F(TextToSpeechTest, SavedVoiceSettingsAreReadByTheNextEngine)
{
    VoiceSettings settings = talk.voiceSettings();
    settings.pitch = 70;
    settings.lexicon = {{QStringLiteral("GUI"), QStringLiteral("gooey"), false}};
    talk.applyVoiceSettings(settings);
    ASSERT_TRUE(talk.saveVoiceSettings());
    RecordingVoiceOutput otherOutput;
    TextToSpeech other(otherOutput);
    EXPECT_EQ(other.voiceSettings(), settings.normalized());
}

class RecordingDialogs : public SpeechDialogProvider {
public:
    void showDialog(Dialog dialog, QWidget* owner, const QString& title,
                    VoiceTuning& voice) override
    {
        shown.push_back({dialog, owner, title, &voice});
    }
    struct Call {
        Dialog dialog;
        QWidget* owner;
        QString title;
        VoiceTuning* voice;
    };
    std::vector<Call> shown;
};

TEST_F(TextToSpeechTest, DialogsNeedAProvider)
{
    EXPECT_THROW(talk.generalDialog(nullptr, QString()), SpeechError);
    EXPECT_THROW(talk.lexiconDialog(nullptr, QString()), SpeechError);
    EXPECT_THROW(talk.translationDialog(nullptr, QString()), SpeechError);

    RecordingDialogs dialogs;
    talk.setDialogProvider(&dialogs);
    talk.generalDialog(nullptr, QStringLiteral("Voice"));
    talk.lexiconDialog(nullptr, QString());
    talk.translationDialog(nullptr, QString());
    ASSERT_EQ(dialogs.shown.size(), 3u);
    EXPECT_EQ(dialogs.shown[0].dialog, SpeechDialogProvider::Dialog::General);
    EXPECT_EQ(dialogs.shown[0].title, QStringLiteral("Voice"));
    EXPECT_EQ(dialogs.shown[1].dialog, SpeechDialogProvider::Dialog::Lexicon);
    EXPECT_EQ(dialogs.shown[2].dialog, SpeechDialogProvider::Dialog::Translation);
    EXPECT_EQ(dialogs.shown[2].voice, static_cast<VoiceTuning*>(&talk));
}

// Stopping and the speaking state against an output that plays in real time,
// on the main voice of each family.
class RealTimeSpeechTest : public ::testing::TestWithParam<QString> {
protected:
    void SetUp() override
    {
        talk.setWordListener(log.listener());
        talk.selectEngine(talk.engineForIdentity(GetParam()));
    }

    testing_support::SettingsSandbox sandbox;
    RecordingVoiceOutput output{RecordingVoiceOutput::Pace::RealTime};
    TextToSpeech talk{output};
    WordLog log;
};

TEST_P(RealTimeSpeechTest, SpeakingLastsUntilTheLastSampleHasPlayed)
{
    QElapsedTimer timer;
    timer.start();
    talk.speak(QStringLiteral("One two three."));
    EXPECT_EQ(talk.speakingState(), 1);
    ASSERT_TRUE(waitSilent(talk));
    const double spoken = timer.elapsed() / 1000.0;
    const double audio = double(output.framesPushed()) / output.sampleRate();
    EXPECT_GE(spoken, audio - 0.05);
    EXPECT_LT(spoken, audio + 1.0);
    EXPECT_EQ(output.voiceFramesPlayed(), output.framesPushed());
}

TEST_P(RealTimeSpeechTest, StopEndsSpeechAndDropsTheQueueAtOnce)
{
    talk.speak(
        QStringLiteral("This first announcement goes on for quite a while, "
                       "long enough that it is certainly still going when stopped."));
    talk.speak(QStringLiteral("Second text."));
    talk.speak(QStringLiteral("Third text."));
    ASSERT_TRUE(testing_support::waitUntil([&] { return output.framesPushed() > 0; }));

    QElapsedTimer timer;
    timer.start();
    talk.stop();
    ASSERT_TRUE(testing_support::waitUntil([&] { return talk.speakingState() == 0; },
                                           std::chrono::milliseconds(1000)));
    EXPECT_LE(timer.elapsed(), 20);

    // Nothing of the stopped texts comes later.
    const std::uint64_t pushedAtStop = output.framesPushed();
    testing_support::pumpFor(std::chrono::milliseconds(300));
    EXPECT_EQ(talk.speakingState(), 0);
    EXPECT_LE(output.framesPushed() - pushedAtStop, 441u);
    EXPECT_TRUE(log.text(2).isEmpty());
    EXPECT_TRUE(log.text(3).isEmpty());

    // And the engine speaks again afterwards.
    talk.speak(QStringLiteral("Back again."));
    ASSERT_TRUE(waitSilent(talk));
    EXPECT_EQ(log.text(4), QString("back again").split(' '));
    EXPECT_EQ(output.sampleRate(), speech_test::sampleRateOf(GetParam()));
}

TEST_P(RealTimeSpeechTest, BurstsOfSpeakAndStopKeepOrder)
{
    std::uint64_t number = 0;
    std::uint64_t lastStop = 0;
    for (int i = 1; i <= 300; ++i) {
        talk.speak(QStringLiteral("Item %1.").arg(i));
        ++number;
        if (i % 7 == 0) {
            talk.stop();
            lastStop = number;
        }
    }
    talk.stop();
    EXPECT_EQ(talk.speakingState(), 0);
    const QStringList finalWords = QString("apple banana cherry damson elder").split(' ');
    for (const QString& word : finalWords) {
        talk.speak(QStringLiteral("Final ") + word + QLatin1Char('.'));
    }
    ASSERT_TRUE(waitSilent(talk));
    QStringList finals;
    std::uint64_t previous = 0;
    for (const SpokenWord& w : log.words()) {
        EXPECT_GE(w.textNumber, previous);
        previous = w.textNumber;
        if (w.textNumber > number) {
            finals << w.word.toLower();
        }
    }
    Q_UNUSED(lastStop);
    EXPECT_EQ(finals,
              QString("final apple final banana final cherry final damson final elder").split(' '));
}

INSTANTIATE_TEST_SUITE_P(EachFamily, RealTimeSpeechTest,
                         ::testing::Values(kEspeakEnglish, kFliteSlt), speech_test::familyName);

}  // namespace
