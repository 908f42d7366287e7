// SPDX-License-Identifier: GPL-3.0-or-later
#include "AudioTestSupport.h"
#include "audio/loudness/LoudnessCache.h"
#include "audio/loudness/LoudnessMeter.h"
#include "audio/loudness/SoundEnds.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <optional>

using namespace audio_test;

namespace {

std::optional<SoundSpan> spanOf(const Pcm& pcm)
{
    LoudnessMeter meter(pcm.rate, pcm.channels);
    SoundEnds ends(meter);
    // In uneven pieces, as a decoder hands them over.
    for (std::size_t at = 0; at < pcm.frames(); at += 3001) {
        const std::size_t n = std::min<std::size_t>(3001, pcm.frames() - at);
        ends.add(pcm.samples.data() + at * 2, n);
    }
    return ends.find();
}

struct EndsCase {
    const char* name;
    Pcm pcm;
    double startSeconds;  // where the sound must start, to 10 ms
    double endSeconds;
    bool fadingTail;  // the last seconds are 6 LU or more under the song
    bool softHead;
};

}  // namespace

TEST(SoundEnds, FindsWhereTheSoundStartsAndEnds)
{
    const EndsCase cases[] = {
        {"whole", PcmBuilder().tone(3.0, -10).pcm(), 0.0, 3.0, false, false},
        {"silent head", PcmBuilder().silence(1.2).tone(3.0, -10).pcm(), 1.2, 4.2, false, false},
        {"silent tail", PcmBuilder().tone(3.0, -10).silence(1.5).pcm(), 0.0, 3.0, false, false},
        {"both", PcmBuilder().silence(0.8).tone(2.0, -10).silence(0.9).pcm(), 0.8, 2.8, false,
         false},
        // Under half a second of silence is no silence to leave out.
        {"short head", PcmBuilder().silence(0.3).tone(3.0, -10).silence(0.3).pcm(), 0.0, 3.6, false,
         false},
        // A quiet intro is content: 30 dB under the song is not silence.
        {"quiet intro", PcmBuilder().tone(4.0, -40).tone(4.0, -10).pcm(), 0.0, 8.0, false, true},
        // A hiss 50 dB under the song is.
        {"hiss head", PcmBuilder().tone(1.0, -62).tone(3.0, -10).pcm(), 1.0, 4.0, false, false},
        {"fade out", PcmBuilder().tone(4.0, -10).glide(4.0, -10, -50).silence(1.0).pcm(), 0.0, -1,
         true, false},
    };
    for (const EndsCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<SoundSpan> span = spanOf(c.pcm);
        ASSERT_TRUE(span.has_value());
        EXPECT_NEAR(static_cast<double>(span->start) / 44100, c.startSeconds, 0.011);
        if (c.endSeconds >= 0) {
            EXPECT_NEAR(static_cast<double>(span->end) / 44100, c.endSeconds, 0.011);
        } else {
            // A fade ends where it falls under the silence level, before the
            // silence that follows it.
            EXPECT_LT(static_cast<double>(span->end) / 44100, 8.02);
            EXPECT_GT(static_cast<double>(span->end) / 44100, 6.5);
        }
        EXPECT_EQ(span->tailLu <= -6.0, c.fadingTail) << span->tailLu;
        EXPECT_EQ(span->headLu <= -6.0, c.softHead) << span->headLu;
    }
}

TEST(SoundEnds, SilenceHasNoSpan)
{
    EXPECT_FALSE(spanOf(PcmBuilder().silence(2.0).pcm()).has_value());
    EXPECT_FALSE(spanOf(Pcm{44100, 2, {}}).has_value());
}

// The span is kept beside the gain; lines an earlier version wrote (no span)
// are still read.
TEST(LoudnessCache, KeepsTheSpanOfSoundAndReadsOlderLines)
{
    QTemporaryDir dir;
    const QString song = dir.filePath(QStringLiteral("song.wav"));
    const QString old = dir.filePath(QStringLiteral("old\tname.wav"));
    ASSERT_TRUE(writeToneWav(song, 0.5, 0.5));
    ASSERT_TRUE(writeToneWav(old, 0.6, 0.5));
    const QString folder = dir.filePath(QStringLiteral("cache"));
    const LoudnessCache::Key songKey = *LoudnessCache::keyOf(song);
    const LoudnessCache::Key oldKey = *LoudnessCache::keyOf(old);
    {
        LoudnessCache cache(folder);
        SongLoudness measured{-12.5, -1.25, SongLoudness::Source::Measured,
                              SoundSpan{4410, 19000, -7.25, -1.5}};
        cache.store(songKey, measured);
        ASSERT_TRUE(cache.find(songKey).has_value());
    }
    QFile file(dir.filePath(QStringLiteral("cache/loudness.tsv")));
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write(QStringLiteral("L1\t%1\t%2\t-20.00\t-3.00\t%3\n")
                   .arg(oldKey.size)
                   .arg(oldKey.modifiedNs)
                   .arg(old)
                   .toUtf8());
    // A span that cannot be is not believed: that song is measured again.
    file.write(QStringLiteral("L2\t%1\t%2\t-20.00\t-3.00\t500\t100\t0.00\t0.00\t%3\n")
                   .arg(songKey.size + 1)
                   .arg(songKey.modifiedNs)
                   .arg(dir.filePath(QStringLiteral("bad.wav")))
                   .toUtf8());
    file.close();

    LoudnessCache reread(folder);
    const std::optional<SongLoudness> kept = reread.find(songKey);
    ASSERT_TRUE(kept.has_value());
    ASSERT_TRUE(kept->span.has_value());
    EXPECT_EQ(*kept->span, (SoundSpan{4410, 19000, -7.25, -1.5}));
    EXPECT_DOUBLE_EQ(kept->lufs, -12.5);
    const std::optional<SongLoudness> older = reread.find(oldKey);
    ASSERT_TRUE(older.has_value());
    EXPECT_DOUBLE_EQ(older->lufs, -20.0);
    EXPECT_FALSE(older->span.has_value());
}
