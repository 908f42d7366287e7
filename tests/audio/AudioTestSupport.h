#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <chrono>
#include <cstdint>
#include <functional>
#include <initializer_list>
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
int peak(const Pcm& pcm);
// Index of the first frame of `needle` within `haystack`, or -1.
long find(const Pcm& haystack, const Pcm& needle);

// Polls the player (and the event loop) until it reports the end.
bool waitForEnd(MpegPlayer& player, std::chrono::milliseconds timeout);
bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

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
