// SPDX-License-Identifier: GPL-3.0-or-later
#include "AudioTestSupport.h"
#include "audio/AudioEngine.h"
#include "audio/loudness/LoudnessCache.h"

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
    SinkCapture capture;
    AudioEngine::Options options;
    options.output = AudioEngine::Output::Unpaced;
    options.cacheFolder = cacheFolder;
    {
        AudioEngine engine(options);
        capture.attach(engine);
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
               SongLoudness{source + 6.0, -20.0, SongLoudness::Source::Measured, std::nullopt});
    EXPECT_NEAR(integratedLufs(playEvened(second, cache)), -22.0, 0.3);
}

TEST(EvenLoudness, EveryUtteranceOfEveryVoiceComesOutAtTheMusicsLoudness)
{
    // Voice-like signals: a synthesizer's silent lead-in, then bursts of a
    // tone with pauses between the words; a quiet voice and then one 18 dB
    // louder at another rate (another synthesizer), and last that voice at
    // the listener's half volume.
    const auto utterance = [](int rate, double level) {
        std::vector<std::int16_t> voice(static_cast<std::size_t>(rate) * 2);
        for (std::size_t i = 0; i < voice.size(); ++i) {
            const double t = static_cast<double>(i) / rate;
            const bool word = t >= 0.4 && (i * 10 / static_cast<std::size_t>(rate)) % 3 != 2;
            voice[i] =
                word ? static_cast<std::int16_t>(std::lround(level * std::sin(2 * M_PI * 180 * t)))
                     : 0;
        }
        return voice;
    };
    struct Said {
        int rate;
        double level;
        int volume;
        double lufs;  // as heard, evened
    };
    const Said said[] = {{22050, 800, 100, -16.0},
                         {22050, 800, 100, -16.0},
                         {16000, 6400, 100, -16.0},
                         {16000, 6400, 100, -16.0},
                         {16000, 3200, 50, -22.0}};
    for (const bool even : {true, false}) {
        SinkCapture capture;
        AudioEngine::Options options = even ? AudioEngine::Options{} : asMade();
        options.output = AudioEngine::Output::Unpaced;
        std::vector<Pcm> heard;
        {
            AudioEngine engine(options);
            capture.attach(engine);
            for (const Said& s : said) {
                const std::size_t before = capture.played().frames();
                const auto voice = utterance(s.rate, s.level);
                engine.setVoiceVolume(s.volume);
                ASSERT_TRUE(engine.pushVoice(voice.data(), voice.size(), s.rate, 1));
                ASSERT_TRUE(waitFor([&] { return engine.voiceIdle(); }, 10s));
                const Pcm all = capture.played();
                heard.push_back(trimmed(all.slice(before, all.frames() - before)));
            }
        }
        for (std::size_t i = 0; i < heard.size(); ++i) {
            if (even) {
                EXPECT_NEAR(integratedLufs(heard[i]), said[i].lufs, 1.0) << i;
                EXPECT_LE(truePeakDb(heard[i]), -0.8) << i;
            }
        }
        if (!even) {  // as made, the second voice is far louder than the first
            EXPECT_GT(integratedLufs(heard[2]) - integratedLufs(heard[0]), 15.0);
        }
    }
}

TEST(EvenLoudness, ATagThatLiesNeitherTurnsTheLimiterOffNorSetsAnAbsurdGain)
{
    struct Case {
        const char* gain;
        const char* peak;
        bool measured;  // the tag is out of range: the song is measured instead
    };
    // A plausible lie (+12 dB, peak 0.1) on a normal song, and a gain no
    // measurement gives.
    for (const Case& c : {Case{"+12.00 dB", "0.100000", false}, Case{"+40.00 dB", nullptr, true},
                          Case{"-45.00 dB", "0.100000", true}}) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("lying.mp3"));
        ASSERT_TRUE(QFile::copy(media("tone.mp3"), path));
        QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        {
            TagLib::MPEG::File file(QFile::encodeName(path).constData());
            for (const auto& [key, value] : {std::pair{"REPLAYGAIN_TRACK_GAIN", c.gain},
                                             std::pair{"REPLAYGAIN_TRACK_PEAK", c.peak}}) {
                if (value != nullptr) {
                    auto* frame =
                        new TagLib::ID3v2::UserTextIdentificationFrame(TagLib::String::Latin1);
                    frame->setDescription(key);
                    frame->setText(value);
                    file.ID3v2Tag(true)->addFrame(frame);
                }
            }
            ASSERT_TRUE(file.save(TagLib::MPEG::File::ID3v2));
        }
        const Pcm played = playEvened(path);
        EXPECT_LE(truePeakDb(played), -1.0 + 0.15) << c.gain;
        if (c.measured) {
            EXPECT_NEAR(integratedLufs(played), -16.0, 0.7) << c.gain;
        }
    }
}
