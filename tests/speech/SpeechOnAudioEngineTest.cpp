// SPDX-License-Identifier: GPL-3.0-or-later
#include "SpeechTestSupport.h"
#include "audio/AudioEngine.h"
#include "audio/AudioTestSupport.h"
#include "common/TestSupport.h"
#include "speech/TextToSpeech.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFileInfo>

namespace {

// The voice through the real player library, its output captured by SDL's
// disk driver at real-time pace; the main voice of each family.
class SpeechOnAudioEngineTest : public ::testing::TestWithParam<QString> {
protected:
    void SetUp() override { talk.selectEngine(talk.engineForIdentity(GetParam())); }

    std::size_t framesWritten() const
    {
        return static_cast<std::size_t>(QFileInfo(capture.file()).size() / 4);
    }

    testing_support::SettingsSandbox sandbox;
    audio_test::DiskCapture capture;
    AudioEngine engine;
    TextToSpeech talk{engine};
};

TEST_P(SpeechOnAudioEngineTest, SpeakingLastsUntilTheVoiceHasLeftTheOutput)
{
    ASSERT_EQ(engine.outputName(), QStringLiteral("disk"));
    QElapsedTimer timer;
    timer.start();
    talk.speak(QStringLiteral("One, two, three, four."));
    EXPECT_EQ(talk.speakingState(), 1);
    qint64 silentAfter = -1;
    bool playedWhileSpeaking = false;
    while (timer.elapsed() < 10000 && silentAfter < 0) {
        if (talk.speakingState() == 0) {
            silentAfter = timer.elapsed();
        } else if (engine.voiceFramesPlayed() > 0) {
            playedWhileSpeaking = true;
        }
        testing_support::pumpFor(std::chrono::milliseconds(2));
    }
    ASSERT_GE(silentAfter, 0);
    EXPECT_TRUE(playedWhileSpeaking);
    EXPECT_TRUE(engine.voiceIdle());

    // Everything pushed has been played by then, and it took as long as the
    // speech lasts.
    // Played frames count at the voice's own rate.
    const double seconds =
        double(engine.voiceFramesPlayed()) / speech_test::sampleRateOf(GetParam());
    EXPECT_GT(seconds, 1.0);
    EXPECT_GE(silentAfter / 1000.0, seconds - 0.05);
    EXPECT_LT(silentAfter / 1000.0, seconds + 1.0);

    testing_support::pumpFor(std::chrono::milliseconds(100));
    const audio_test::Pcm heard = audio_test::trimmed(capture.read());
    // The text's closing pause is silence, trimmed here.
    EXPECT_LE(heard.seconds(), seconds + 0.05);
    EXPECT_GT(heard.seconds(), seconds - 0.5);
    EXPECT_GT(audio_test::rms(heard), 300.0);
}

TEST_P(SpeechOnAudioEngineTest, StopSilencesTheOutputAtOnce)
{
    talk.speak(
        QStringLiteral("This announcement is long enough to be cut short in the "
                       "middle, which is exactly what is going to happen to it now."));
    talk.speak(QStringLiteral("And this one is never heard."));
    ASSERT_TRUE(testing_support::waitUntil([&] {
        return engine.voiceFramesPlayed() >
               static_cast<std::uint64_t>(speech_test::sampleRateOf(GetParam()));
    }));
    talk.stop();
    const std::size_t writtenAtStop = framesWritten();
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(testing_support::waitUntil([&] { return talk.speakingState() == 0; },
                                           std::chrono::milliseconds(1000)));
    EXPECT_LE(timer.elapsed(), 20);

    testing_support::pumpFor(std::chrono::milliseconds(600));
    EXPECT_EQ(talk.speakingState(), 0);
    const audio_test::Pcm heard = capture.read();
    std::size_t lastVoice = 0;
    for (std::size_t f = 0; f < heard.frames(); ++f) {
        if (heard.samples[2 * f] != 0 || heard.samples[2 * f + 1] != 0) {
            lastVoice = f;
        }
    }
    // What was already in the device's buffer plays out; nothing after it.
    EXPECT_LT(lastVoice, writtenAtStop + 44100 / 50 + 4096);
}

INSTANTIATE_TEST_SUITE_P(EachFamily, SpeechOnAudioEngineTest,
                         ::testing::Values(speech_test::kEspeakEnglish, speech_test::kFliteSlt),
                         speech_test::familyName);

}  // namespace
