// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/AudioEngine.h"
#include "audio/decode/Decoder.h"
#include "audio/mix/OutputSink.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <thread>
#include <vector>

class MpegPlayer;

namespace audio_test {

// Interleaved 16-bit PCM.
struct Pcm {
    int rate = 0;
    int channels = 0;
    std::vector<std::int16_t> samples;

    std::size_t frames() const { return channels > 0 ? samples.size() / channels : 0; }
    double seconds() const { return rate > 0 ? static_cast<double>(frames()) / rate : 0.0; }
    Pcm slice(std::size_t firstFrame, std::size_t frameCount) const;
};

// A generated file of the build's test media.
QString media(const char* name);

// Reference decodes, straight through the libraries.
Pcm decodeMpeg(const QString& path);
Pcm readSoundFile(const QString& path);

// Points SDL's disk driver at a raw file for as long as it lives; make it
// before the engine (SDL reads the driver choice when it starts).
class DiskCapture {
public:
    DiskCapture();
    ~DiskCapture();
    DiskCapture(const DiskCapture&) = delete;
    DiskCapture& operator=(const DiskCapture&) = delete;

    QString file() const { return file_; }
    // What the output played: 44.1 kHz stereo.
    Pcm read() const;

private:
    QTemporaryDir dir_;
    QString file_;
    QByteArray previousDriver_;
};

// Frames [begin, end) of runs where every sample is zero, at least minFrames long.
struct Run {
    std::size_t begin;
    std::size_t end;
};
std::vector<Run> silentRuns(const Pcm& pcm, std::size_t minFrames);
// Drops zero frames at both ends.
Pcm trimmed(const Pcm& pcm);
// Drops leading and trailing zeros and every interior run of zero frames of
// at least minFrames.
Pcm withoutGaps(const Pcm& pcm, std::size_t minFrames);
double rms(const Pcm& pcm);
// EBU R128 measurements of what was played.
double integratedLufs(const Pcm& pcm);
double truePeakDb(const Pcm& pcm);
int peak(const Pcm& pcm);
// Index of the first frame of `needle` within `haystack`, or -1.
long find(const Pcm& haystack, const Pcm& needle);

// Songs at the loudness they were made, no dip under the voice: what plays
// can be compared sample for sample with the file.
AudioEngine::Options asMade(AudioEngine::Output output = AudioEngine::Output::Device);

// The player's frame number that starts `seconds` into a song, and the one
// that ends there (a range [frameAt(a), frameBefore(b)] plays a to b).
constexpr std::int32_t frameAt(double seconds)
{
    return static_cast<std::int32_t>(seconds * 44100 + 0.5) + 1;
}
constexpr std::int32_t frameBefore(double seconds)
{
    return frameAt(seconds) - 1;
}

// Opens a song and waits (running the event loop) until the player has
// opened it or found that it cannot: the error (empty on success) and the
// length GetTotalframes gives then.
struct Opened {
    QString error;
    std::int32_t totalFrames = 0;
};
Opened openSong(MpegPlayer& player, const QString& path,
                std::chrono::milliseconds timeout = std::chrono::seconds(10));

// Polls the player (and the event loop) until it reports the end.
bool waitForEnd(MpegPlayer& player, std::chrono::milliseconds timeout);
bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

// A stereo 44.1 kHz 16-bit wav of a steady tone mixed with a slower one, so
// its loudness is easy to predict; `level` is the peak (1.0 = full scale).
// Raised, it stays above zero: any zero frame in an output is then silence
// put there, never a zero crossing.
bool writeToneWav(const QString& path, double seconds, double level, double hz = 440.0,
                  bool raised = false);

// A 16-bit wav of the PCM as it is.
bool writePcmWav(const QString& path, const Pcm& pcm);
// Builds stereo 44.1 kHz PCM piece by piece: silence, and a tone (two
// sines, as writeToneWav) at a peak level in dBFS that may glide to another.
class PcmBuilder {
public:
    PcmBuilder& silence(double seconds);
    PcmBuilder& glide(double seconds, double fromDb, double toDb, double hz = 440.0);
    PcmBuilder& tone(double seconds, double levelDb, double hz = 440.0)
    {
        return glide(seconds, levelDb, levelDb, hz);
    }
    // Tones from here on stay above zero (as writeToneWav's raised ones).
    PcmBuilder& raised()
    {
        raised_ = true;
        return *this;
    }
    Pcm pcm() const { return pcm_; }

private:
    Pcm pcm_{44100, 2, {}};
    double phase_ = 0.0;
    bool raised_ = false;
};

// Captures what the output plays: reads a sink of the engine on a thread of
// its own, as a broadcast would. Its ring holds the whole capture, so it
// never drops however late its thread runs.
class SinkCapture {
public:
    explicit SinkCapture(std::size_t maxFrames = 44100 * 30);
    ~SinkCapture();
    SinkCapture(const SinkCapture&) = delete;
    SinkCapture& operator=(const SinkCapture&) = delete;

    void attach(AudioEngine& engine);
    // What was played so far: waits (2 s at most) until everything the sink
    // had queued when called has been read.
    Pcm played() const;
    std::size_t blocks() const { return static_cast<std::size_t>(sink_->blocks()); }
    std::uint64_t dropped() const { return sink_->droppedFrames(); }
    const std::shared_ptr<OutputSink>& sink() const { return sink_; }

private:
    void readUntilStopped();

    std::shared_ptr<OutputSink> sink_;
    std::vector<std::int16_t> samples_;
    std::atomic<std::size_t> frames_{0};   // kept in samples_
    std::atomic<std::uint64_t> taken_{0};  // read from the sink, kept or not
    std::atomic<bool> stop_{false};
    std::thread reader_;
};

// A decoder of a steady stereo tone at 44.1 kHz: `level` is its peak.
class ToneDecoder : public Decoder {
public:
    ToneDecoder(double seconds, double level)
        : length_(std::llround(seconds * 44100)), level_(level)
    {
    }
    int sampleRate() const override { return 44100; }
    int channels() const override { return 2; }
    std::int64_t length() const override { return length_; }
    bool seek(std::int64_t frame) override;
    std::size_t read(std::int16_t* out, std::size_t frames) override;

private:
    std::int64_t length_;
    double level_;
    std::int64_t position_ = 0;
};

// Builds Standard MIDI Files.
class MidiWriter {
public:
    explicit MidiWriter(int ticksPerQuarter) : division_(ticksPerQuarter) {}
    MidiWriter& track();
    MidiWriter& event(std::uint32_t delta, std::initializer_list<std::uint8_t> bytes);
    MidiWriter& tempo(std::uint32_t delta, std::uint32_t microsPerQuarter);
    MidiWriter& note(std::uint32_t delta, int key, std::uint32_t length);
    MidiWriter& endTrack(std::uint32_t delta);
    QByteArray bytes(int format = 1) const;
    bool save(const QString& path, int format = 1) const;

private:
    int division_;
    std::vector<QByteArray> tracks_;
};

}  // namespace audio_test
