// SPDX-License-Identifier: GPL-3.0-or-later
#include "AudioTestSupport.h"
#include "audio/decode/DecoderFactory.h"
#include "audio/decode/MidiDecoder.h"
#include "audio/decode/MidiSynth.h"
#include "files/RegularFile.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <cmath>

using namespace audio_test;

namespace {

std::unique_ptr<Decoder> open(const QString& path)
{
    QString error;
    auto decoder = DecoderFactory(DecoderFactory::defaultSoundFont()).open(path, error);
    EXPECT_TRUE(decoder) << error.toStdString();
    return decoder;
}

Pcm readAll(Decoder& decoder, std::size_t limit = 1u << 24)
{
    Pcm pcm{decoder.sampleRate(), decoder.channels(), {}};
    std::vector<std::int16_t> block(4096 * static_cast<std::size_t>(decoder.channels()));
    while (pcm.frames() < limit) {
        const std::size_t got = decoder.read(block.data(), 4096);
        if (got == 0) {
            break;
        }
        pcm.samples.insert(pcm.samples.end(), block.begin(),
                           block.begin() + static_cast<std::ptrdiff_t>(got * pcm.channels));
    }
    return pcm;
}

// A few bars of a General MIDI band: piano chords, strings, bass and drums.
QByteArray band()
{
    MidiWriter writer(96);
    writer.track().tempo(0, 500000).endTrack(0);
    writer.track().event(0, {0xC0, 0}).event(0, {0xC1, 48}).event(0, {0xC2, 33});
    for (int bar = 0; bar < 4; ++bar) {
        const std::uint8_t root = static_cast<std::uint8_t>(bar % 2 == 0 ? 60 : 65);
        writer.event(0, {0x90, root, 100})
            .event(0, {0x90, static_cast<std::uint8_t>(root + 4), 100})
            .event(0, {0x90, static_cast<std::uint8_t>(root + 7), 100})
            .event(0, {0x91, static_cast<std::uint8_t>(root - 12), 90})
            .event(0, {0x92, static_cast<std::uint8_t>(root - 24), 110})
            .event(0, {0x99, 36, 110})
            .event(96, {0x99, 38, 110})
            .event(96, {0x99, 36, 110})
            .event(96, {0x99, 38, 110})
            .event(96, {0x80, root, 0})
            .event(0, {0x80, static_cast<std::uint8_t>(root + 4), 0})
            .event(0, {0x80, static_cast<std::uint8_t>(root + 7), 0})
            .event(0, {0x81, static_cast<std::uint8_t>(root - 12), 0})
            .event(0, {0x82, static_cast<std::uint8_t>(root - 24), 0});
    }
    writer.endTrack(0);
    return writer.bytes();
}

}  // namespace

TEST(Mpg123Decoder, LameFileDecodesToExactlyItsSourceLength)
{
    const Pcm source = readSoundFile(media("tone.wav"));
    for (const char* name : {"tone.mp3", "tagged.mp3"}) {
        auto decoder = open(media(name));
        ASSERT_TRUE(decoder);
        EXPECT_EQ(decoder->length(), static_cast<std::int64_t>(source.frames())) << name;
        EXPECT_EQ(decoder->sampleRate(), 44100);
        EXPECT_EQ(decoder->channels(), 2);
        const Pcm decoded = readAll(*decoder);
        EXPECT_EQ(decoded.frames(), source.frames()) << name;
    }
}

TEST(Decoders, SeekingIsSampleAccurate)
{
    for (const char* name : {"tone.mp3", "chord.mp3", "tone.mp2", "chord48.wav"}) {
        const QString path = media(name);
        const Pcm reference = QString::fromUtf8(name).endsWith(QStringLiteral(".wav"))
                                  ? readSoundFile(path)
                                  : decodeMpeg(path);
        auto decoder = open(path);
        ASSERT_TRUE(decoder);
        for (const std::size_t at : {std::size_t{1}, std::size_t{1151}, std::size_t{1152},
                                     reference.frames() / 2, reference.frames() - 700}) {
            ASSERT_TRUE(decoder->seek(static_cast<std::int64_t>(at))) << name << " " << at;
            const Pcm got = readAll(*decoder, 500);
            const Pcm want = reference.slice(at, 500);
            ASSERT_GE(got.frames(), want.frames());
            // One frame off would differ by hundreds; the decoder's rounding may
            // differ by one step after a seek.
            int worst = 0;
            for (std::size_t i = 0; i < want.samples.size(); ++i) {
                worst = std::max(worst, std::abs(want.samples[i] - got.samples[i]));
            }
            EXPECT_LE(worst, 1) << name << " at " << at;
        }
    }
}

// The file is read ahead of the library: seeking back into what was read,
// and beyond it, gives the frames that are there.
TEST(Mpg123Decoder, SeekingBackAndAheadOfWhatWasReadIsExact)
{
    // The mp2 is longer than one read ahead.
    for (const char* name : {"tone.mp2", "tone.mp3"}) {
        const QString path = media(name);
        const Pcm reference = decodeMpeg(path);
        auto decoder = open(path);
        ASSERT_TRUE(decoder);
        const std::size_t end = reference.frames() - 700;
        for (const std::size_t at : {end, reference.frames() / 2, std::size_t{1}, end}) {
            ASSERT_TRUE(decoder->seek(static_cast<std::int64_t>(at))) << name << " " << at;
            const Pcm got = readAll(*decoder, 600);
            const Pcm want = reference.slice(at, 600);
            ASSERT_GE(got.frames(), want.frames()) << name << " " << at;
            int worst = 0;
            for (std::size_t i = 0; i < want.samples.size(); ++i) {
                worst = std::max(worst, std::abs(want.samples[i] - got.samples[i]));
            }
            EXPECT_LE(worst, 1) << name << " at " << at;
        }
    }
}

TEST(Decoders, UnknownExtensionsAreRecognisedByContent)
{
    QTemporaryDir dir;
    const QString wav = dir.filePath(QStringLiteral("tone.dat"));
    const QString mp3 = dir.filePath(QStringLiteral("tone.bin"));
    const QString midi = dir.filePath(QStringLiteral("song.xyz"));
    ASSERT_TRUE(QFile::copy(media("chord48.wav"), wav));
    ASSERT_TRUE(QFile::copy(media("tone.mp3"), mp3));
    ASSERT_TRUE(MidiWriter(96).track().note(0, 60, 96).endTrack(0).save(midi));
    auto asWav = open(wav);
    ASSERT_TRUE(asWav);
    EXPECT_EQ(asWav->sampleRate(), 48000);
    auto asMp3 = open(mp3);
    ASSERT_TRUE(asMp3);
    EXPECT_EQ(asMp3->length(), 66150);
    auto asMidi = open(midi);
    ASSERT_TRUE(asMidi);
    EXPECT_EQ(asMidi->length(), std::lround((0.5 + 0.25) * 44100));
}

TEST(MidiDecoder, RendersItsAnnouncedLengthAboutAsLoudAsMusic)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("band.mid"));
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(band());
    out.close();
    auto decoder = open(path);
    ASSERT_TRUE(decoder);
    // Four bars of four beats at 120 bpm, and the release tail.
    EXPECT_EQ(decoder->length(), std::lround((8.0 + 0.25) * 44100));
    const Pcm pcm = readAll(*decoder);
    EXPECT_EQ(static_cast<std::int64_t>(pcm.frames()), decoder->length());
    const double level = 20.0 * std::log10(rms(pcm) / 32768.0);
    // Mastered songs sit around -20 to -10 dBFS RMS; the synthesizer must not clip.
    EXPECT_GT(level, -20.0);
    EXPECT_LT(level, -10.0);
    EXPECT_LT(peak(pcm), 30000);

    // Seeking into the middle still sounds.
    ASSERT_TRUE(decoder->seek(4 * 44100));
    const Pcm middle = readAll(*decoder, 22050);
    EXPECT_GE(middle.frames(), 22050u);
    EXPECT_GT(rms(middle), 500.0);
}

TEST(MidiDecoder, NotesOfTheSongBeforeDoNotHangOver)
{
    QTemporaryDir dir;
    const QString held = dir.filePath(QStringLiteral("held.mid"));
    const QString late = dir.filePath(QStringLiteral("late.mid"));
    // A chord held for four seconds; then a song whose note starts after 0.5 s.
    MidiWriter chord(96);
    chord.track().event(0, {0xC0, 48}).event(0, {0x90, 60, 120}).event(0, {0x90, 67, 120});
    chord.event(768, {0x80, 60, 0}).event(0, {0x80, 67, 0}).endTrack(0);
    ASSERT_TRUE(chord.save(held));
    ASSERT_TRUE(MidiWriter(96).track().note(96, 72, 96).endTrack(0).save(late));

    DecoderFactory factory(DecoderFactory::defaultSoundFont());  // one synthesizer for both
    QString error;
    auto first = factory.open(held, error);
    ASSERT_TRUE(first);
    const Pcm sounding = readAll(*first, 44100);
    EXPECT_GT(rms(sounding.slice(30000, 10000)), 500.0);
    first.reset();
    auto second = factory.open(late, error);
    ASSERT_TRUE(second);
    const Pcm start = readAll(*second, 44100);
    // The first 0.4 s are silent but for a faint trace (below -38 dBFS) of
    // the effects; the chord itself would be near full scale.
    EXPECT_LT(peak(start.slice(0, 17640)), 400);
    EXPECT_GT(rms(start.slice(22050, 10000)), 500.0);
}

TEST(MidiDecoder, MissingSoundFontIsReportedAtOpen)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.mid"));
    ASSERT_TRUE(MidiWriter(96).track().note(0, 60, 96).endTrack(0).save(path));
    QString error;
    EXPECT_FALSE(MidiDecoder::open(
        RegularFile(path, RegularFile::Access::Read),
        std::make_shared<MidiSynth>(dir.filePath(QStringLiteral("none.sf2"))), error));
    EXPECT_TRUE(error.contains(QStringLiteral("sound font")));
}
