// SPDX-License-Identifier: GPL-3.0-or-later
#include "AudioTestSupport.h"
#include "audio/AudioEngine.h"
#include "audio/PlayerEvents.h"

#include <gtest/gtest.h>

#include <taglib/id3v2tag.h>
#include <taglib/wavfile.h>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace audio_test;
using namespace std::chrono_literals;

namespace {

constexpr double kEdge = 0.8;  // seconds of silence at each end of each song
constexpr double kSound = 1.0;

// A song with silence at both ends, tagged as a track of an album when
// `track` is above 0.
QString writeSong(const QTemporaryDir& dir, const char* name, double hz, int track)
{
    const QString path = dir.filePath(QString::fromUtf8(name));
    const Pcm pcm =
        PcmBuilder().raised().silence(kEdge).tone(kSound, -8.0, hz).silence(kEdge).pcm();
    if (!writePcmWav(path, pcm)) {
        return {};
    }
    if (track > 0) {
        TagLib::RIFF::WAV::File file(QFile::encodeName(path).constData());
        file.ID3v2Tag()->setAlbum("Night Drive");
        file.ID3v2Tag()->setArtist("Tolvar Band");
        file.ID3v2Tag()->setTrack(static_cast<unsigned>(track));
        file.save();
    }
    return path;
}

struct Joined {
    Pcm played;
    std::int32_t firstLength = 0;
};

// The first song opened and played, the second loaded ahead to follow on.
Joined playTwo(const QString& first, const QString& second, std::int32_t startFrame = 1)
{
    QTemporaryDir cache;
    SinkCapture capture;
    AudioEngine::Options options;
    options.output = AudioEngine::Output::SilentClock;
    options.cacheFolder = cache.path();
    AudioEngine engine(options);
    capture.attach(engine);
    Joined joined;
    const Opened opened = openSong(engine, first);
    joined.firstLength = opened.totalFrames;
    engine.PlayMPEG(1, opened.totalFrames);
    engine.preloadNext(second, FollowOn::Always, startFrame);
    EXPECT_TRUE(waitFor([&] { return engine.AreMPEGAtEnd() == 1; }, 10s));
    engine.CloseMPEG();
    engine.OpenMPEG(0, second, QStringLiteral("MPEGVideo"));
    engine.PlayMPEG(startFrame, engine.GetTotalframes());
    EXPECT_TRUE(waitForEnd(engine, 10s));
    joined.played = trimmed(capture.played());
    return joined;
}

}  // namespace

// Silence at a song's ends is left out: the songs join sound to sound, and
// the length the program is told is that of the sound. Two tracks of one
// album in sequence keep it, to the sample.
TEST(Segue, SilentEndsAreLeftOutButAnAlbumKeepsItsOwn)
{
    struct Case {
        const char* name;
        int firstTrack;
        int secondTrack;
        std::size_t silenceBetween;   // frames of zeros between the two sounds
        std::int32_t startFrame = 1;  // where the second is started (500: a flush start)
    };
    const auto edge = static_cast<std::size_t>(kEdge * 44100);
    const Case cases[] = {
        {"two songs", 0, 0, 0},
        {"not in sequence", 2, 4, 0},
        {"album tracks in sequence", 3, 4, 2 * edge},
        {"two songs, flush start", 0, 0, 0, 500},
        // The album's next track keeps its first frames all the same.
        {"album tracks in sequence, flush start", 3, 4, 2 * edge, 500},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString first = writeSong(dir, "first.wav", 330.0, c.firstTrack);
        const QString second = writeSong(dir, "second.wav", 550.0, c.secondTrack);
        const Joined joined = playTwo(first, second, c.startFrame);
        const auto sound = static_cast<std::size_t>(kSound * 44100);
        // The first is told as long as its sound; it ends where that ends
        // unless the album's next track follows.
        EXPECT_NEAR(joined.firstLength, 44100, 485);
        const std::vector<audio_test::Run> gaps = silentRuns(joined.played, 64);
        if (c.silenceBetween == 0) {
            EXPECT_TRUE(gaps.empty()) << gaps.size();
            EXPECT_NEAR(static_cast<double>(joined.played.frames()), 2.0 * sound, 2 * 441.0);
        } else {
            ASSERT_EQ(gaps.size(), 1u);
            EXPECT_EQ(gaps.front().end - gaps.front().begin, c.silenceBetween)
                << gaps.front().begin << " of " << joined.played.frames();
            EXPECT_NEAR(static_cast<double>(gaps.front().begin), static_cast<double>(sound), 441.0);
        }
    }
}
