// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

// A Standard MIDI File checked event by event, with its tempo map: the
// synthesizer cannot say how long a file plays before it has played it.
// Timing arithmetic saturates, so no file can make it overflow.
class MidiFile {
public:
    // A song ends this long after its last note at the latest.
    static constexpr double kTrailingSeconds = 3.0;
    // And it never plays longer than this.
    static constexpr double kMaxSeconds = 3600.0;
    // The synthesizer holds every event in memory (about 70 bytes each); a
    // real song has a few tens of thousands.
    static constexpr std::uint32_t kMaxEvents = 500000;

    // Empty with `error` set when the data is not a sound MIDI file or has
    // no notes.
    static std::optional<MidiFile> parse(const QByteArray& data, QString& error);

    const QByteArray& data() const { return data_; }
    // How long the song plays: to its last event (end-of-track marks
    // included), but no more than kTrailingSeconds after its last note and
    // never over kMaxSeconds.
    double durationSeconds() const;
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
    std::uint32_t events_ = 0;
    std::optional<std::uint64_t> lastNoteTick_;  // of any note-on or note-off
};
