// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/LoadedSong.h"
#include "audio/SongId.h"
#include "audio/loudness/LoudnessCache.h"

#include <QString>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

class DecoderFactory;

// The loader thread: everything that touches a song's file before it plays.
// It opens the file (the length scan included), reads its place on its album
// and finds its loudness (the ReplayGain tag, else the cache, else a
// measurement, which also finds where its sound starts and ends).
//
// A song loaded ahead (the next one) is measured whole, in the background.
// A song wanted at once is measured for at most a short while: if that does
// not reach the end, it plays with what the start measured and the decode
// thread goes on measuring as it plays. Measurements are kept in the cache.
class SongLoader {
public:
    using Wake = std::function<void()>;

    // How long a song wanted at once may be measured before it starts.
    static constexpr std::chrono::milliseconds kMeasureBudget{150};

    // One factory per slot: the MIDI synthesizer of a factory serves one song
    // at a time. `measure` false leaves songs at their own loudness.
    SongLoader(std::array<DecoderFactory*, 2> factories, QString cacheFolder, bool measure,
               Wake wake);
    ~SongLoader();
    SongLoader(const SongLoader&) = delete;
    SongLoader& operator=(const SongLoader&) = delete;

    // Decode thread.
    void load(SongId id, int slot, const QString& path, bool ahead);
    // A play waits for this song: measuring ahead ends soon.
    void hurry(SongId id);
    // Nobody wants this song any more.
    void cancel(SongId id);
    // Keeps a measurement made while playing.
    void remember(const LoudnessCache::Key& key, const SongLoudness& loudness);
    // Moves the next answer into `song`; false when there is none.
    bool takeResult(LoadedSong& song);

private:
    struct Job {
        SongId id;  // none for a store job
        int slot = 0;
        QString path;
        bool ahead = false;
        bool cancelled = false;
        std::optional<LoudnessCache::Key> key;
        std::optional<SongLoudness> remembered;  // a store job
    };
    using Clock = std::chrono::steady_clock;
    struct Measuring {
        Clock::time_point started;
        std::optional<Clock::time_point> hurriedAt;
        std::int64_t done = 0;
        std::int64_t length = 0;
        int rate = 0;
    };

    void run();
    void execute(Job& job);
    LoadedSong open(const Job& job);
    void findLoudness(const Job& job, LoadedSong& song);
    void measure(const Job& job, LoadedSong& song);
    bool stopMeasuring(const Job& job, Measuring& progress);
    bool wanted(SongId id);

    std::array<DecoderFactory*, 2> factories_;
    bool measure_;
    Wake wake_;
    LoudnessCache cache_;  // loader thread only

    std::mutex mutex_;
    std::condition_variable wakeLoader_;
    std::deque<Job> jobs_;            // guarded by mutex_
    std::deque<LoadedSong> results_;  // guarded by mutex_
    SongId hurried_;                  // guarded by mutex_
    SongId cancelled_;                // guarded by mutex_
    SongId current_;                  // guarded by mutex_: the job under way
    bool quit_ = false;               // guarded by mutex_
    std::thread thread_;
};
