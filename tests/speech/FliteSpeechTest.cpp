// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecordingVoiceOutput.h"
#include "SpeechTestSupport.h"
#include "WordLog.h"
#include "common/TestSupport.h"
#include "speech/TextToSpeech.h"

#include <gtest/gtest.h>

#include <algorithm>

using speech_test::kFliteSlt;
using speech_test::rms;
using speech_test::waitSilent;

namespace {

// The median pitch of the voiced parts, by autocorrelation.
double medianPitch(const std::vector<std::int16_t>& s, int rate)
{
    const std::size_t window = static_cast<std::size_t>(rate / 25);
    std::vector<double> found;
    for (std::size_t p = 0; p + 2 * window < s.size(); p += window / 2) {
        double bestScore = 0.0;
        int bestLag = 0;
        for (int lag = rate / 400; lag < rate / 60; ++lag) {
            double c = 0, a = 0, b = 0;
            for (std::size_t i = 0; i < window; ++i) {
                c += double(s[p + i]) * s[p + i + lag];
                a += double(s[p + i]) * s[p + i];
                b += double(s[p + i + lag]) * s[p + i + lag];
            }
            const double score = c / std::sqrt(a * b + 1.0);
            if (score > bestScore) {
                bestScore = score;
                bestLag = lag;
            }
        }
        if (bestScore > 0.7) {
            found.push_back(double(rate) / bestLag);
        }
    }
    if (found.empty()) {
        return 0.0;
    }
    std::nth_element(found.begin(), found.begin() + found.size() / 2, found.end());
    return found[found.size() / 2];
}

// flite's voices, engine 1 (slt) unless a test picks another.
class FliteSpeechTest : public ::testing::Test {
protected:
    void SetUp() override { talk.setWordListener(log.listener()); }

    std::vector<std::int16_t> say(const QString& text)
    {
        output.clear();
        log.clear();
        talk.speak(text);
        EXPECT_TRUE(waitSilent(talk)) << text.toStdString();
        return output.samples();
    }
    double seconds(const std::vector<std::int16_t>& samples) const
    {
        return double(samples.size()) / output.sampleRate();
    }
    void setVoice(void (*edit)(VoiceSettings&))
    {
        VoiceSettings s = talk.voiceSettings();
        edit(s);
        talk.applyVoiceSettings(s);
    }

    testing_support::SettingsSandbox sandbox;
    RecordingVoiceOutput output;
    TextToSpeech talk{output};
    WordLog log;
};

TEST_F(FliteSpeechTest, FliteVoicesAreTheFirstEnginesWithTheirAttributes)
{
    const QStringList flite = {"cmu_us_slt", "cmu_us_awb", "cmu_us_rms", "cmu_us_kal16",
                               "cmu_us_kal"};
    for (int n = 1; n <= flite.size(); ++n) {
        EXPECT_EQ(talk.engineIdentity(n), QStringLiteral("flite:") + flite[n - 1]);
        EXPECT_EQ(talk.engineName(n), flite[n - 1]);
        EXPECT_EQ(talk.engineManufacturer(n), QStringLiteral("CMU Flite"));
        EXPECT_EQ(talk.engineGender(n), n == 1 ? 1 : 2) << n;
        EXPECT_EQ(talk.engineAge(n), 30);
        EXPECT_FALSE(talk.engineStyle(n).isEmpty());
        EXPECT_FALSE(talk.engineSpeaker(n).isEmpty());
        EXPECT_TRUE(talk.engineDialect(n).startsWith(QLatin1String("en-")));
    }
    EXPECT_EQ(talk.selectedEngine(), 1);
    const int espeak = talk.engineForIdentity(speech_test::kEspeakEnglish);
    EXPECT_EQ(espeak, 6);
    // A number saved when espeak-ng's main English voice was engine 1.
    EXPECT_EQ(talk.migratedEngineNumber(1), espeak);
}

TEST_F(FliteSpeechTest, EveryVoiceSaysClockTimesAsAPersonDoes)
{
    for (int n = 1; n <= 5; ++n) {
        talk.selectEngine(n);
        const auto pcm = say(QStringLiteral("Tonights time is 08:05 PM"));
        EXPECT_EQ(log.text(), QString("tonights time is eight oh five p m").split(' ')) << n;
        EXPECT_EQ(output.sampleRate(), n == 5 ? 8000 : 16000) << n;
        EXPECT_EQ(output.channels(), 1);
        EXPECT_GT(seconds(pcm), 1.2) << n;
        EXPECT_LT(seconds(pcm), 4.5) << n;
        EXPECT_GT(rms(pcm), 500.0) << n;
    }
}

TEST_F(FliteSpeechTest, MarkupIsReadNotObeyed)
{
    const auto pcm =
        say(QStringLiteral("<speak><prosody rate=\"x-slow\">Hi</prosody><break time=\"9s\"/>"
                           "</speak>"));
    const QStringList words = log.text();
    EXPECT_TRUE(words.contains("speak")) << words.join(' ').toStdString();
    EXPECT_TRUE(words.contains("prosody"));
    EXPECT_LT(seconds(pcm), 9.0);
}

TEST_F(FliteSpeechTest, SpeedStretchesTheVoiceAndNeverSlowsItDown)
{
    const QString sentence = QStringLiteral("The quick brown fox jumps over the lazy dog.");
    double previous = 1e9;
    std::map<int, double> lengths;
    for (int speed : {10, 40, 80, 87, 100, 165, 250, 400, 500}) {
        talk.setSpeed(speed);
        lengths[speed] = seconds(say(sentence));
        EXPECT_LT(lengths[speed], previous) << "speed " << speed;
        previous = lengths[speed];
    }
    EXPECT_GT(lengths[80], lengths[165] * 1.6);
    EXPECT_GT(lengths[165], lengths[400] * 1.8);
    // Ten words a minute: most of each word's six seconds is pause.
    EXPECT_NEAR(lengths[10], 9 * 6.0, 9 * 1.0);
}

TEST_F(FliteSpeechTest, GeneralSettingsChangeTheVoice)
{
    const QString sentence = QStringLiteral("Testing the voice of the radio.");
    setVoice([](VoiceSettings& s) { s.volume = 40; });
    const double quiet = rms(say(sentence));
    setVoice([](VoiceSettings& s) { s.volume = 160; });
    const double loud = rms(say(sentence));
    EXPECT_GT(loud, quiet * 3.0);

    setVoice([](VoiceSettings& s) {
        s.volume = 100;
        s.pitch = 20;
    });
    const double low = medianPitch(say(sentence), output.sampleRate());
    setVoice([](VoiceSettings& s) { s.pitch = 80; });
    const double high = medianPitch(say(sentence), output.sampleRate());
    EXPECT_GT(high, low * 1.4) << low << " " << high;

    setVoice([](VoiceSettings& s) {
        s.pitch = 50;
        s.wordGapMs = 300;
    });
    const double gapped = seconds(say(QStringLiteral("one two three four")));
    setVoice([](VoiceSettings& s) { s.wordGapMs = 0; });
    const double plain = seconds(say(QStringLiteral("one two three four")));
    EXPECT_NEAR(gapped - plain, 0.9, 0.05);
}

TEST_F(FliteSpeechTest, LexiconAndTranslationRewriteTheText)
{
    setVoice([](VoiceSettings& s) {
        s.lexicon = {{QStringLiteral("Tolvar"), QStringLiteral("Toll var"), false},
                     {QStringLiteral("radio"), QStringLiteral("r'eIdi:oU"), true}};
        s.punctuation = PunctuationMode::All;
        s.symbols[0].sayAs = QStringLiteral("percentage");  // "%"
    });
    say(QStringLiteral("Welcome to tolvar radio, 42%"));
    EXPECT_EQ(log.text(),
              QString("welcome to toll var radio comma forty two percentage").split(' '));
}

}  // namespace
