#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

// A Standard MIDI File checked event by event, with its tempo map: the
// synthesizer cannot say how long a file plays before it has played it.
class MidiFile {
public:
    // Empty with `error` set when the data is not a sound MIDI file.
    static std::optional<MidiFile> parse(const QByteArray& data, QString& error);

    const QByteArray& data() const { return data_; }
    // Time of the last event (end-of-track marks included).
    double durationSeconds() const { return secondsAt(lastTick_); }
    double secondsAt(std::uint64_t tick) const;
    // The first tick at or after the given time.
    std::uint64_t tickAt(double seconds) const;

private:
    struct Tempo {
        std::uint64_t tick;
        double secondsPerTick;
    };
    class Reader;

    bool readTrack(Reader& reader, QString& error);
    void addTempo(std::uint64_t tick, std::uint32_t microsPerQuarter);

    QByteArray data_;
    int ticksPerQuarter_ = 0;
    double smpteSecondsPerTick_ = 0.0;  // non-zero for SMPTE time division
    std::vector<Tempo> tempos_;         // sorted by tick once parsed
    std::uint64_t lastTick_ = 0;
};
