#include "AudioTestSupport.h"
#include "audio/AudioEngine.h"
#include "audio/LoudnessCache.h"

#include <gtest/gtest.h>

#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>
#include <QFile>
#include <QTemporaryDir>
#include <thread>

using namespace audio_test;
using namespace std::chrono_literals;

namespace {

// Plays a whole song through an engine that evens loudness, as fast as it
// decodes; returns what came out.
Pcm playEvened(const QString& path, const QString& cacheFolder = {})
{
    TapCapture capture;
    AudioEngine::Options options;
    options.output = AudioEngine::Output::Unpaced;
    options.cacheFolder = cacheFolder;
    capture.attach(options);
    {
        AudioEngine engine(options);
        const Opened opened = openSong(engine, path);
        EXPECT_EQ(opened.error, QString()) << path.toStdString();
        engine.PlayMPEG(1, opened.totalFrames);
        EXPECT_TRUE(waitForEnd(engine, 20s)) << path.toStdString();
    }
    return trimmed(capture.played());
}

QString midiSong(const QTemporaryDir& dir)
{
    const QString path = dir.filePath(QStringLiteral("song.mid"));
    MidiWriter writer(96);
    writer.track().tempo(0, 500000).endTrack(0);
    writer.track().event(0, {0xC0, 0});
    for (int i = 0; i < 8; ++i) {
        writer.note(0, 60 + (i * 5) % 12, 48);
    }
    writer.endTrack(0);
    EXPECT_TRUE(writer.save(path));
    return path;
}

}  // namespace

TEST(EvenLoudness, SongsOfEveryKindComeOutAtTheTargetLoudness)
{
    QTemporaryDir dir;
    const QString quiet = dir.filePath(QStringLiteral("quiet.wav"));
    const QString loud = dir.filePath(QStringLiteral("loud.wav"));
    ASSERT_TRUE(writeToneWav(quiet, 2.0, 0.02));
    ASSERT_TRUE(writeToneWav(loud, 2.0, 0.98));
    for (const QString& path :
         {quiet, loud, media("tone.mp3"), media("tone.mp2"), media("chord.mp3"), midiSong(dir)}) {
        const Pcm played = playEvened(path);
        EXPECT_NEAR(integratedLufs(played), -16.0, 0.7) << path.toStdString();
        EXPECT_LE(truePeakDb(played), -1.0 + 0.2) << path.toStdString();
    }
}

TEST(EvenLoudness, AReplayGainTagDecidesOverMeasuring)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tagged.mp3"));
    ASSERT_TRUE(QFile::copy(media("tone.mp3"), path));
    QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    {
        TagLib::MPEG::File file(QFile::encodeName(path).constData());
        auto* frame = new TagLib::ID3v2::UserTextIdentificationFrame(TagLib::String::Latin1);
        frame->setDescription("REPLAYGAIN_TRACK_GAIN");
        frame->setText("-12.00 dB");  // much quieter than measuring would make it
        file.ID3v2Tag(true)->addFrame(frame);
        ASSERT_TRUE(file.save(TagLib::MPEG::File::ID3v2));
    }
    const double source = integratedLufs(decodeMpeg(path));
    // -12 dB brings it to -18 LUFS by the tag's reckoning; the target is 2 dB above.
    EXPECT_NEAR(integratedLufs(playEvened(path)), source - 12.0 + 2.0, 0.3);
}

TEST(EvenLoudness, MeasuredLoudnessIsKeptAndTrustedNextTime)
{
    QTemporaryDir dir;
    const QString cache = dir.filePath(QStringLiteral("cache"));
    const QString first = dir.filePath(QStringLiteral("first.wav"));
    const QString second = dir.filePath(QStringLiteral("second.wav"));
    ASSERT_TRUE(writeToneWav(first, 2.0, 0.1));
    ASSERT_TRUE(writeToneWav(second, 2.0, 0.1));
    // Played once, the measurement lands in the cache.
    EXPECT_NEAR(integratedLufs(playEvened(first, cache)), -16.0, 0.7);
    LoudnessCache kept(cache);
    const auto measured = kept.find(*LoudnessCache::keyOf(first));
    ASSERT_TRUE(measured.has_value());
    EXPECT_NEAR(measured->lufs, integratedLufs(readSoundFile(first)), 0.2);

    // A cached value is used as it is: one 6 dB too loud makes the song 6 dB quieter.
    const double source = integratedLufs(readSoundFile(second));
    kept.store(*LoudnessCache::keyOf(second),
               SongLoudness{source + 6.0, -20.0, SongLoudness::Source::Measured});
    EXPECT_NEAR(integratedLufs(playEvened(second, cache)), -22.0, 0.3);
}

TEST(EvenLoudness, TheVoiceIsBroughtToTheLoudnessOfTheMusic)
{
    // A quiet voice-like signal: bursts of a tone with pauses between words.
    std::vector<std::int16_t> voice(22050 * 2);
    for (std::size_t i = 0; i < voice.size(); ++i) {
        const bool word = (i / 4000) % 3 != 2;
        voice[i] = word ? static_cast<std::int16_t>(std::lround(800 * std::sin(0.09 * i))) : 0;
    }
    for (const bool even : {true, false}) {
        TapCapture capture;
        AudioEngine::Options options = even ? AudioEngine::Options{} : asMade();
        options.output = AudioEngine::Output::Unpaced;
        capture.attach(options);
        {
            AudioEngine engine(options);
            // The first utterance teaches the engine the voice; the next one
            // comes out at the music's loudness.
            for (int utterance = 0; utterance < 2; ++utterance) {
                ASSERT_TRUE(engine.pushVoice(voice.data(), voice.size(), 22050, 1));
                ASSERT_TRUE(waitFor([&] { return engine.voiceIdle(); }, 10s));
                std::this_thread::sleep_for(50ms);
            }
        }
        const Pcm played = trimmed(capture.played());
        const Pcm second = played.slice(played.frames() - 88200, 88200);
        const double expected = even ? -16.0 : integratedLufs(played.slice(0, 88200));
        EXPECT_NEAR(integratedLufs(second), expected, 1.0) << even;
        EXPECT_LE(truePeakDb(second), -0.8) << even;
    }
}
