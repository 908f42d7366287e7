// SPDX-License-Identifier: GPL-3.0-or-later
#include "AudioTestSupport.h"
#include "audio/AudioEngine.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <random>

using namespace audio_test;
using namespace std::chrono_literals;

namespace {

QByteArray randomBytes(std::size_t size, unsigned seed)
{
    std::mt19937 generator(seed);
    QByteArray bytes(static_cast<qsizetype>(size), '\0');
    for (char& b : bytes) {
        b = static_cast<char>(generator() & 0xFF);
    }
    return bytes;
}

QByteArray contents(const QString& path)
{
    QFile in(path);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

class BadInput : public ::testing::Test {
protected:
    QString write(const char* name, const QByteArray& bytes)
    {
        const QString path = dir_.filePath(QString::fromUtf8(name));
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        return path;
    }

    // The song is refused with a reason, and playing it anyway ends at once.
    void expectRefused(const QString& path, const QString& reasonPart)
    {
        const QString error = openSong(engine_, path).error;
        EXPECT_FALSE(error.isEmpty()) << path.toStdString();
        EXPECT_TRUE(error.contains(reasonPart, Qt::CaseInsensitive))
            << error.toStdString() << " lacks " << reasonPart.toStdString();
        EXPECT_EQ(engine_.GetTotalframes(), 0);
        engine_.PlayMPEG(1, engine_.GetTotalframes());
        EXPECT_EQ(engine_.AreMPEGAtEnd(), 1);
    }

    // Plays what can be decoded and ends within its announced length.
    void expectPlaysAndEnds(const QString& path)
    {
        const Opened opened = openSong(engine_, path);
        ASSERT_EQ(opened.error, QString());
        const std::int32_t total = opened.totalFrames;
        EXPECT_GT(total, 0);
        QElapsedTimer clock;
        clock.start();
        engine_.PlayMPEG(1, total);
        EXPECT_TRUE(waitForEnd(engine_, std::chrono::milliseconds(total + 2000)));
        EXPECT_LT(clock.elapsed(), total + 1000);
    }

    QTemporaryDir dir_;
    AudioEngine engine_{asMade(AudioEngine::Output::SilentClock)};
};

}  // namespace

TEST_F(BadInput, MissingEmptyAndFolderAreRefusedByName)
{
    expectRefused(dir_.filePath(QStringLiteral("nowhere.mp3")), QStringLiteral("not found"));
    expectRefused(write("empty.mp3", {}), QStringLiteral("empty"));
    ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("folder.mp3")));
    expectRefused(dir_.filePath(QStringLiteral("folder.mp3")), QStringLiteral("folder"));
    expectRefused(QString(), QStringLiteral("no file"));
}

TEST_F(BadInput, RandomBytesAreNotMistakenForMpegAudio)
{
    for (unsigned seed = 1; seed <= 5; ++seed) {
        expectRefused(write("noise.mp3", randomBytes(64 * 1024, seed)), QStringLiteral("MPEG"));
    }
}

TEST_F(BadInput, BrokenWavHeaderIsRefused)
{
    QByteArray wav = contents(media("chord48.wav"));
    ASSERT_GT(wav.size(), 44);
    wav.replace(8, 4, "JUNK");  // no longer "WAVE"
    expectRefused(write("broken.wav", wav), QStringLiteral("sound file"));
    expectRefused(write("short.wav", wav.left(20)), QStringLiteral("sound file"));
}

TEST_F(BadInput, GarbageMidiIsRefused)
{
    expectRefused(write("noise.mid", randomBytes(4096, 7)), QStringLiteral("MIDI"));
    QByteArray truncated = MidiWriter(96).track().note(0, 60, 96).endTrack(0).bytes();
    truncated.chop(3);
    expectRefused(write("cut.mid", truncated), QStringLiteral("MIDI"));
}

TEST_F(BadInput, TruncatedMp3PlaysWhatIsThere)
{
    const QByteArray mp3 = contents(media("tone.mp3"));
    expectPlaysAndEnds(write("cut.mp3", mp3.left(mp3.size() * 6 / 10 + 77)));
    EXPECT_LT(engine_.GetTotalframes(), frameAt(1.2));
}

TEST_F(BadInput, JunkInTheMiddleEndsTheSongInsteadOfStalling)
{
    const QByteArray mp3 = contents(media("tone.mp3"));
    const qsizetype half = mp3.size() / 2;
    expectPlaysAndEnds(
        write("junk.mp3", mp3.left(half) + randomBytes(200 * 1024, 3) + mp3.mid(half)));
}
