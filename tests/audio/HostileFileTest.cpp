// SPDX-License-Identifier: GPL-3.0-or-later
// Files a real library or a broken download can hold: each class is refused
// with a reason or bounded, and none hangs, overflows or bloats.
#include "AudioTestSupport.h"
#include "audio/decode/DecoderFactory.h"
#include "audio/decode/MidiFile.h"
#include "audio/decode/MidiSynth.h"
#include "common/NonRegularFiles.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>

using namespace audio_test;

namespace {

void putLittle(QByteArray& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) {
        out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

// A 16-bit PCM WAV of a quiet ramp, with whatever header values it is given.
QByteArray wav(std::uint32_t rate, std::uint16_t channels, std::uint32_t frames)
{
    const std::uint32_t dataBytes = frames * channels * 2;
    QByteArray out("RIFF");
    putLittle(out, 36 + dataBytes, 4);
    out.append("WAVEfmt ");
    putLittle(out, 16, 4);
    putLittle(out, 1, 2);  // PCM
    putLittle(out, channels, 2);
    putLittle(out, rate, 4);
    putLittle(out, rate * channels * 2, 4);
    putLittle(out, channels * 2u, 2);
    putLittle(out, 16, 2);
    out.append("data");
    putLittle(out, dataBytes, 4);
    for (std::uint32_t i = 0; i < frames * channels; ++i) {
        putLittle(out, (i * 37) % 2000, 2);
    }
    return out;
}

QByteArray contents(const QString& path)
{
    QFile in(path);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

// This process's memory in MB, as the kernel counts it: "VmRSS" now,
// "VmHWM" the most since the last resetPeak().
double megabytes(const QByteArray& field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0.0;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field + ':')) {
            return line.mid(field.size() + 1).trimmed().split(' ').value(0).toDouble() / 1024.0;
        }
    }
    return 0.0;
}

bool resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

class HostileFiles : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir_.filePath(name); }

    QString write(const QString& name, const QByteArray& bytes) const
    {
        QFile out(path(name));
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        return out.fileName();
    }

    std::unique_ptr<Decoder> open(const QString& file, QString& error) const
    {
        return factory_.open(file, error);
    }

    QTemporaryDir dir_;
    DecoderFactory factory_{DecoderFactory::defaultSoundFont()};
};

}  // namespace

// A FIFO, a device, a socket or a folder behind a song's name is refused at
// once: opening it must not wait for a writer that never comes.
TEST_F(HostileFiles, SpecialFilesAreRefusedWithoutWaiting)
{
    const testing_support::NonRegularFiles special(dir_.path(), QStringLiteral(".mp3"));
    ASSERT_EQ(special.entries().size(), 5u);
    const testing_support::NonRegularFiles asMidi(dir_.path(), QStringLiteral(".mid"));
    for (const auto& files : {&special, &asMidi}) {
        for (const auto& entry : files->entries()) {
            QElapsedTimer clock;
            clock.start();
            QString error;
            EXPECT_FALSE(open(entry.path, error)) << entry.kind;
            EXPECT_TRUE(error.contains(entry.path)) << entry.kind << ": " << error.toStdString();
            EXPECT_LT(clock.elapsed(), 1000) << entry.kind;
        }
    }
}

// Rates and channel counts outside what real audio uses are refused; the
// edges of the accepted range open.
TEST_F(HostileFiles, AbsurdFormatsAreRefusedAndTheAcceptedRangeOpens)
{
    const struct {
        std::uint32_t rate;
        std::uint16_t channels;
        bool opens;
    } cases[] = {
        {2, 1, false},     {1, 2, false},      {7999, 1, false},
        {8000, 1, true},   {44100, 8, true},   {44100, 9, false},
        {384000, 2, true}, {384001, 1, false}, {4000000, 1, false},
    };
    for (const auto& c : cases) {
        const QString name = QStringLiteral("f%1x%2.wav").arg(c.rate).arg(c.channels);
        // 40 KB, like the file that once made the converter hold gigabytes.
        const QString file = write(name, wav(c.rate, c.channels, 20000 / c.channels));
        QString error;
        const std::unique_ptr<Decoder> decoder = open(file, error);
        EXPECT_EQ(decoder != nullptr, c.opens) << name.toStdString() << ": " << error.toStdString();
        if (decoder) {
            EXPECT_EQ(decoder->sampleRate(), static_cast<int>(c.rate));
            EXPECT_EQ(decoder->channels(), c.channels);
        } else {
            EXPECT_TRUE(error.contains(QStringLiteral("Unsupported sound format")))
                << error.toStdString();
        }
    }
}

// The decoder follows what the file holds, whatever its name says; a false
// ID3v2 size does not hide the MPEG frames behind it.
TEST_F(HostileFiles, ContentChoosesTheDecoder)
{
    const QByteArray mp3 = contents(media("tone.mp3"));
    const QByteArray midi = MidiWriter(96).track().note(0, 60, 96).endTrack(0).bytes();
    // "ID3", version 3, no flags, size 0x0FFFFFFF (256 MB), then a frame of text.
    QByteArray hugeClaim("ID3\x03\x00\x00\x7F\x7F\x7F\x7F", 10);
    hugeClaim += QByteArray("TIT2\x00\x00\x00\x10\x00\x00\x00Some title text", 26);
    hugeClaim += QByteArray(3000, '\0');
    // A claim just past the end of the file.
    QByteArray shortClaim("ID3\x04\x00\x00\x00\x00\x00\x00", 10);
    const qsizetype claim = 700 + mp3.size() + 1;
    for (int i = 0; i < 4; ++i) {
        shortClaim[9 - i] = static_cast<char>((claim >> (7 * i)) & 0x7F);
    }
    shortClaim += QByteArray(700, 'x');

    const struct {
        const char* name;
        QByteArray bytes;
        int rate;
        std::int64_t length;
    } cases[] = {
        {"wave.mp3", wav(48000, 2, 4800), 48000, 4800},
        {"mpeg.wav", mp3, 44100, 66150},
        {"mpeg.mid", mp3, 44100, 66150},
        {"midi.mp3", midi, MidiSynth::kRate, std::lround(0.75 * MidiSynth::kRate)},
        {"midi.wav", midi, MidiSynth::kRate, std::lround(0.75 * MidiSynth::kRate)},
        {"huge-id3.mp3", hugeClaim + mp3, 44100, 66150},
        {"short-id3.mp3", shortClaim + mp3, 44100, 66150},
        {"no-name", mp3, 44100, 66150},
    };
    for (const auto& c : cases) {
        QString error;
        const std::unique_ptr<Decoder> decoder =
            open(write(QString::fromUtf8(c.name), c.bytes), error);
        ASSERT_TRUE(decoder) << c.name << ": " << error.toStdString();
        EXPECT_EQ(decoder->sampleRate(), c.rate) << c.name;
        EXPECT_EQ(decoder->length(), c.length) << c.name;
        std::vector<std::int16_t> block(4096 * 2);
        EXPECT_EQ(decoder->read(block.data(), 4096), 4096u) << c.name;
    }
}

// A true ID3v2 tag of 256 MB before the audio is skipped, not read into
// memory (the file is sparse: it costs no disk).
TEST_F(HostileFiles, AHugeTrueTagIsSkippedNotRead)
{
    const QString path = this->path(QStringLiteral("big-tag.mp3"));
    {
        QFile big(path);
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        big.write(QByteArray("ID3\x03\x00\x00\x7F\x7F\x7F\x7F", 10));
        ASSERT_TRUE(big.seek(10 + 0x0FFFFFFF));
        big.write(contents(media("tone.mp3")));
    }
    const bool measured = resetPeak();
    const double before = megabytes("VmRSS");
    QString error;
    const std::unique_ptr<Decoder> decoder = open(path, error);
    ASSERT_TRUE(decoder) << error.toStdString();
    EXPECT_EQ(decoder->length(), 66150);
    if (measured) {
        EXPECT_LT(megabytes("VmHWM") - before, 64.0);
    }
}

// Tempo and delta times at their largest make lengths of years; a song
// still ends a few seconds after its last note and within the hour.
TEST_F(HostileFiles, MidiTimingEndsSoonAfterTheLastNoteAndWithinTheHour)
{
    constexpr std::uint32_t kSlowest = 0xFFFFFF;  // 16.8 s a quarter note
    constexpr std::uint32_t kLongest = 0x0FFFFFFF;
    // ~14 KB of notes each 2^28 quarters of 16.8 s apart: far beyond 64 bits
    // of sample frames.
    MidiWriter overflow(1);
    overflow.track().tempo(0, kSlowest);
    for (int i = 0; i < 1000; ++i) {
        overflow.note(kLongest, 60, kLongest);
    }
    overflow.endTrack(kLongest);
    // 44 bytes: one short note, then the end mark years later.
    MidiWriter lateEnd(1);
    lateEnd.track().tempo(0, kSlowest).note(0, 60, 1).endTrack(kLongest);
    // A normal song with a minute of nothing before its end mark.
    MidiWriter quietTail(96);
    quietTail.track().note(0, 60, 192).endTrack(96 * 120);
    // Notes two hours apart at 120 beats per minute.
    MidiWriter twoHours(1);
    twoHours.track().note(0, 60, 1).note(2 * 3600 * 2, 62, 1).endTrack(0);
    // SMPTE time: 24 frames of 255 ticks a second, with the longest deltas.
    MidiWriter smpte(0xE8FF);
    smpte.track().note(0, 60, kLongest).note(kLongest, 62, kLongest).endTrack(0);

    const struct {
        const char* name;
        QByteArray bytes;
        double seconds;
    } cases[] = {
        {"overflow", overflow.bytes(), MidiFile::kMaxSeconds},
        {"late end", lateEnd.bytes(), kSlowest / 1e6 + MidiFile::kTrailingSeconds},
        {"quiet tail", quietTail.bytes(), 1.0 + MidiFile::kTrailingSeconds},
        {"two hours", twoHours.bytes(), MidiFile::kMaxSeconds},
        {"smpte", smpte.bytes(), MidiFile::kMaxSeconds},
    };
    for (const auto& c : cases) {
        QString error;
        const std::optional<MidiFile> file = MidiFile::parse(c.bytes, error);
        ASSERT_TRUE(file) << c.name << ": " << error.toStdString();
        EXPECT_NEAR(file->durationSeconds(), c.seconds, 1e-6) << c.name;
        // Seeking anywhere maps to a tick without overflowing.
        for (const double at : {0.0, 1.0, c.seconds, 1e12, 1e300}) {
            const std::uint64_t tick = file->tickAt(at);
            EXPECT_LE(file->secondsAt(tick), std::max(at, 0.0) * 1.000001 + 1e9) << c.name;
        }
        const QString songFile = write(QStringLiteral("song.mid"), c.bytes);
        const std::unique_ptr<Decoder> decoder = open(songFile, error);
        ASSERT_TRUE(decoder) << c.name << ": " << error.toStdString();
        EXPECT_LE(decoder->length(), std::llround((MidiFile::kMaxSeconds + 1) * MidiSynth::kRate))
            << c.name;
        std::vector<std::int16_t> block(4096 * 2);
        EXPECT_EQ(decoder->read(block.data(), 4096), 4096u) << c.name;
    }

    // Nothing to play, or more events than a song has (the synthesizer
    // would hold them all): refused, so the radio moves on at once.
    MidiWriter silent(96);
    silent.track().event(0, {0xC0, 5}).endTrack(96 * 600);
    MidiWriter crowded(96);
    crowded.track().note(0, 60, 1);
    for (std::uint32_t i = 0; i < MidiFile::kMaxEvents; ++i) {
        crowded.tempo(1, 400000 + i % 1000);
    }
    crowded.endTrack(0);
    const struct {
        const char* name;
        QByteArray bytes;
        const char* reason;
    } refused[] = {{"silent", silent.bytes(), "no notes"},
                   {"crowded", crowded.bytes(), "too many events"}};
    for (const auto& r : refused) {
        QString error;
        EXPECT_FALSE(MidiFile::parse(r.bytes, error)) << r.name;
        EXPECT_TRUE(error.contains(QString::fromUtf8(r.reason)))
            << r.name << ": " << error.toStdString();
    }
}
