// SPDX-License-Identifier: GPL-3.0-or-later
#include "AudioTestSupport.h"
#include "audio/SongLoader.h"
#include "audio/SongSlot.h"
#include "audio/decode/DecoderFactory.h"
#include "audio/mix/Mixer.h"
#include "audio/mix/PcmRing.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

using namespace audio_test;
using namespace std::chrono_literals;

namespace {

// Everything the slot writes for its range, drained from its ring.
Pcm drain(SongSlot& slot, Mixer& mixer)
{
    Pcm out{44100, 2, {}};
    std::vector<std::int16_t> block(4096 * 2);
    PcmRing& ring = mixer.musicRing(slot.index());
    while (slot.producing() || ring.queuedFrames() > 0) {
        slot.fill();
        const std::size_t got = ring.read(block.data(), 4096);
        out.samples.insert(out.samples.end(), block.begin(),
                           block.begin() + static_cast<std::ptrdiff_t>(got * 2));
    }
    return out;
}

LoadedSong toneSong(double seconds, double level, std::optional<SongLoudness> loudness)
{
    LoadedSong song;
    song.id = SongId{7};
    song.path = QStringLiteral("/music/tone");
    song.decoder = std::make_unique<ToneDecoder>(seconds, level);
    song.loudness = loudness;
    song.cacheKey = LoudnessCache::Key{song.path, 1, 2};
    return song;
}

double toneLufs(double seconds, double level)
{
    ToneDecoder tone(seconds, level);
    Pcm pcm{44100, 2, std::vector<std::int16_t>(static_cast<std::size_t>(tone.length()) * 2)};
    tone.read(pcm.samples.data(), pcm.frames());
    return integratedLufs(pcm);
}

std::optional<LoadedSong> waitForAnswer(SongLoader& loader)
{
    LoadedSong song;
    if (!waitFor([&] { return loader.takeResult(song); }, 20s)) {
        return std::nullopt;
    }
    return std::optional<LoadedSong>(std::move(song));
}

}  // namespace

TEST(SongSlot, AGainKnownAheadHoldsFromTheFirstFrame)
{
    Mixer mixer;
    SongSlot slot(1, mixer);
    slot.beginLoading(SongId{7}, QStringLiteral("/music/tone"));
    // Known to be at -23 LUFS: it is raised by 7 dB.
    ASSERT_TRUE(slot.install(
        toneSong(3.0, 0.1, SongLoudness{-23.0, -20.0, SongLoudness::Source::Cache, std::nullopt})));
    ASSERT_TRUE(slot.startRange(0, slot.length()));
    EXPECT_TRUE(slot.wholeSongFromStart());
    const Pcm out = drain(slot, mixer);
    EXPECT_EQ(out.frames(), 3u * 44100u);
    EXPECT_TRUE(slot.finished());
    EXPECT_EQ(mixer.endOf(1), mixer.musicRing(1).writePosition());
    EXPECT_NEAR(rms(out.slice(0, 22050)) / rms(out.slice(88200, 22050)), 1.0, 0.01);
    EXPECT_NEAR(integratedLufs(out), toneLufs(3.0, 0.1) + 7.0, 0.05);
    EXPECT_FALSE(slot.takeMeasurement().has_value());  // nothing new to keep
}

TEST(SongSlot, AGuessFromTheStartIsRefinedAsItPlaysAndKept)
{
    Mixer mixer;
    SongSlot slot(0, mixer);
    slot.beginLoading(SongId{7}, QStringLiteral("/music/tone"));
    // The first guess is 8 dB off; as it plays the gain follows the
    // measurement, a few dB per second.
    SongLoudness guess{-10.0, std::nullopt, SongLoudness::Source::Partial, std::nullopt};
    ASSERT_TRUE(slot.install(toneSong(12.0, 0.1, guess)));
    ASSERT_TRUE(slot.startRange(0, slot.length()));
    const Pcm out = drain(slot, mixer);
    ASSERT_EQ(out.frames(), 12u * 44100u);
    const double early = integratedLufs(out.slice(0, 44100));
    const double late = integratedLufs(out.slice(9 * 44100, 3 * 44100));
    EXPECT_LT(early, -20.0);
    EXPECT_NEAR(late, -16.0, 0.3);
    const auto kept = slot.takeMeasurement();
    ASSERT_TRUE(kept.has_value());
    EXPECT_EQ(kept->first.path, QStringLiteral("/music/tone"));
    EXPECT_EQ(kept->second.source, SongLoudness::Source::Measured);
    EXPECT_NEAR(kept->second.lufs, toneLufs(12.0, 0.1), 0.05);
}

TEST(SongLoader, MeasuresAheadKeepsItAndTrustsTheCacheNextTime)
{
    QTemporaryDir dir;
    const QString quiet = dir.filePath(QStringLiteral("quiet.wav"));
    ASSERT_TRUE(writeToneWav(quiet, 3.0, 0.05));
    DecoderFactory factory(DecoderFactory::defaultSoundFont());
    const QString cache = dir.filePath(QStringLiteral("cache"));
    double measured = 0.0;
    {
        SongLoader loader({&factory, &factory}, cache, true, [] {});
        loader.load(SongId{1}, 0, quiet, true);
        const auto song = waitForAnswer(loader);
        ASSERT_TRUE(song.has_value());
        ASSERT_TRUE(song->decoder);
        ASSERT_TRUE(song->loudness.has_value());
        EXPECT_EQ(song->loudness->source, SongLoudness::Source::Measured);
        measured = song->loudness->lufs;
        EXPECT_NEAR(measured, integratedLufs(readSoundFile(quiet)), 0.2);
        EXPECT_NEAR(song->loudness->peakDb.value_or(0),
                    20 * std::log10(peak(readSoundFile(quiet)) / 32768.0), 0.01);

        loader.load(SongId{2}, 1, dir.filePath(QStringLiteral("missing.wav")), false);
        const auto missing = waitForAnswer(loader);
        ASSERT_TRUE(missing.has_value());
        EXPECT_FALSE(missing->decoder);
        EXPECT_FALSE(missing->error.isEmpty());
    }
    SongLoader again({&factory, &factory}, cache, true, [] {});
    again.load(SongId{3}, 0, quiet, false);
    const auto song = waitForAnswer(again);
    ASSERT_TRUE(song.has_value() && song->loudness.has_value());
    EXPECT_EQ(song->loudness->source, SongLoudness::Source::Cache);
    EXPECT_NEAR(song->loudness->lufs, measured, 0.01);
}

// A cache line without the span of sound (an earlier version's) is used as
// it is for a song wanted at once, and measured again, span and all, for a
// song loaded ahead.
TEST(SongLoader, ACacheLineWithoutTheSpanIsMeasuredAgainAhead)
{
    QTemporaryDir dir;
    const QString song = dir.filePath(QStringLiteral("song.wav"));
    ASSERT_TRUE(writePcmWav(song, PcmBuilder().silence(1.0).tone(2.0, -12.0).pcm()));
    const QString cache = dir.filePath(QStringLiteral("cache"));
    LoudnessCache(cache).store(
        *LoudnessCache::keyOf(song),
        SongLoudness{-30.0, -12.0, SongLoudness::Source::Measured, std::nullopt});
    DecoderFactory factory(DecoderFactory::defaultSoundFont());
    struct Case {
        bool ahead;
        SongLoudness::Source source;
        bool span;
    };
    for (const Case c : {Case{false, SongLoudness::Source::Cache, false},
                         Case{true, SongLoudness::Source::Measured, true},
                         Case{false, SongLoudness::Source::Cache, true}}) {
        SCOPED_TRACE(c.ahead);
        SongLoader loader({&factory, &factory}, cache, true, [] {});
        loader.load(SongId{1}, 0, song, c.ahead);
        const auto loaded = waitForAnswer(loader);
        ASSERT_TRUE(loaded.has_value() && loaded->loudness.has_value());
        EXPECT_EQ(loaded->loudness->source, c.source);
        ASSERT_EQ(loaded->loudness->span.has_value(), c.span);
        if (c.span) {
            EXPECT_EQ(loaded->loudness->span->start, 44100);
        }
    }
}

TEST(SongLoader, ASongWantedAtOnceIsMeasuredOnlyAtItsStart)
{
    QTemporaryDir dir;
    // Twenty minutes of held notes: far too long to render in the budget.
    const QString path = dir.filePath(QStringLiteral("long.mid"));
    MidiWriter writer(96);
    writer.track().tempo(0, 500000).endTrack(0);
    writer.track().event(0, {0xC0, 0});
    for (int i = 0; i < 600; ++i) {
        writer.note(0, 60 + i % 12, 192);
    }
    writer.endTrack(0);
    ASSERT_TRUE(writer.save(path));
    DecoderFactory factory(DecoderFactory::defaultSoundFont());
    SongLoader loader({&factory, &factory}, QString(), true, [] {});
    loader.load(SongId{1}, 0, path, false);
    const auto song = waitForAnswer(loader);
    ASSERT_TRUE(song.has_value() && song->decoder && song->loudness.has_value());
    EXPECT_EQ(song->loudness->source, SongLoudness::Source::Partial);
    EXPECT_GT(song->measuredFrames, 0);
    EXPECT_LT(song->measuredFrames, song->decoder->length());
}

TEST(SongLoader, WithoutEvenLoudnessNothingIsMeasured)
{
    DecoderFactory factory(DecoderFactory::defaultSoundFont());
    SongLoader loader({&factory, &factory}, QString(), false, [] {});
    loader.load(SongId{1}, 0, media("tone.mp3"), true);
    const auto song = waitForAnswer(loader);
    ASSERT_TRUE(song.has_value() && song->decoder);
    EXPECT_FALSE(song->loudness.has_value());
}
