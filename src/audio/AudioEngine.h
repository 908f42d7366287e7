// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/MpegPlayer.h"
#include "audio/PlayerEvents.h"
#include "audio/SongId.h"
#include "audio/SongIds.h"
#include "audio/VoiceInput.h"
#include "audio/VoiceOutput.h"
#include "audio/decode/DecoderFactory.h"
#include "audio/mix/Ducker.h"
#include "audio/mix/Mixer.h"

#include <QString>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class AudioDevice;
class OutputSink;
class DecodeWorker;

// The player library: plays one song at a time (mp3, mp2, mp1, wav, midi)
// and mixes the announcer's voice into the same output. Songs and voice are
// brought to one loudness, the music dips while the voice talks over it, the
// next song can follow without a gap, and the output pauses while nothing is
// to be heard. MpegPlayer methods are for the GUI thread; VoiceOutput
// methods say which thread may call them. Nothing throws; faults end up as a
// failed open or as a song that ends at once.
//
// What the engine knows of a song is what the decode thread's reports said
// and the commands it was given; the queries answer from that alone (the
// progress of a range excepted, which the output counts as it plays).
class AudioEngine final : public MpegPlayer, public VoiceOutput {
public:
    enum class Output {
        // The sound card through SDL, falling back to SDL's dummy driver and
        // then to a silent real-time clock.
        Device,
        // No sound, real-time pace.
        SilentClock,
        // No sound, as fast as the decoder goes (benchmarks).
        Unpaced,
    };

    struct Options {
        Output output = Output::Device;
        QString soundFont = DecoderFactory::defaultSoundFont();
        // Every song and the voice at one loudness; off, everything plays as
        // it was made.
        bool evenLoudness = true;
        // How far the music dips under the voice; 0 for not at all.
        double duckDepthDb = Ducker::kDefaultDepthDb;
        // Where measured loudness is kept (the per-user cache folder); empty
        // keeps nothing.
        QString cacheFolder{};
        // With nothing heard this long, the output lets go of the sound card
        // and its thread; the next sound brings it back.
        std::chrono::milliseconds sleepAfter{3000};
        // When set, the output is this device rather than what `output`
        // names (tests count what is done to it).
        std::function<std::unique_ptr<AudioDevice>(Mixer&)> device{};
    };

    AudioEngine();
    explicit AudioEngine(Options options);
    ~AudioEngine() override;
    AudioEngine(const AudioEngine&) = delete;
    AudioEngine& operator=(const AudioEngine&) = delete;

    QString OpenMPEG(quintptr windowHandle, const QString& path,
                     const QString& deviceType) override;
    std::int32_t GetTotalframes() override;
    QString PlayMPEG(std::int32_t firstFrame, std::int32_t lastFrame) override;
    std::int32_t GetPercent() override;
    std::int32_t GetPositionMs() override;
    std::int16_t AreMPEGAtEnd() override;
    void PauseMPEG() override;
    void ResumeMPEG() override;
    void StopMPEG() override;
    void CloseMPEG() override;
    void SetAutoRepeat(bool on) override;
    PlayerEvents& events() override { return events_; }
    void preloadNext(const QString& path, FollowOn followOn, std::int32_t firstFrame) override;
    void setCrossfade(std::int32_t ms) override;

    bool pushVoice(const std::int16_t* samples, std::size_t frames, int sampleRate,
                   int channels) override;
    void flushVoice() override;
    bool voiceIdle() const override;
    std::uint64_t voiceFramesPlayed() const override;
    void setVoiceVolume(int percent) override;
    void setVoiceIdleListener(std::function<void()> listener) override;

    // What the sound goes to ("pulseaudio", "alsa", "dummy", "silent clock", ...).
    QString outputName() const;
    // Any thread: the output is paused because nothing is to be heard.
    bool outputPaused() const;
    // Any thread but the output's: `sink` gets every block the speaker gets
    // from now on (false when the list is full). A removal returns once the
    // output no longer touches the sink.
    bool addSink(std::shared_ptr<OutputSink> sink);
    void removeSink(const std::shared_ptr<OutputSink>& sink);

private:
    // A song as its reports told it.
    struct Song {
        enum class Status { Opening, Open, Failed, Closed };
        SongId id{};
        QString path{};
        Status status = Status::Opening;
        std::int32_t totalFrames = 0;
        QString error{};
        std::int32_t firstFrame = 1;  // loaded ahead from there
    };
    // The range PlayMPEG asked for last, as offsets in frames from the song's
    // start (its end may wait for the song's length), and how it stands.
    struct Range {
        enum class State { None, Playing, Ended, Failed };
        SongId play;
        State state = State::None;
        std::int32_t first = 0;
        std::int32_t end = 0;
    };
    // The start of a song taken over from ahead, until it reaches the decode
    // thread: a play from elsewhere than where it was loaded, and a stop, wait
    // until the caller is back in the event loop, so that the play from
    // there that comes before then finds the song as it was (playing on, or
    // waiting decoded) instead of stopped and started again.
    struct TakeOver {
        enum class Held { None, Play, Stop };
        bool active = false;
        std::int32_t firstFrame = 1;
        Held held = Held::None;
        SongId play{};
        std::int32_t first = 0;
        std::int32_t last = 0;
        std::uint64_t serial = 0;
    };

    bool songOpen() const;
    Song* songOf(const SongId& id);
    void takeReports();
    void announceOpened(SongId id);
    void holdUntilTheEventLoop();
    void releaseHeld();

    std::array<std::unique_ptr<DecoderFactory>, 2> factories_;
    Mixer mixer_;
    VoiceInput voice_;
    PlayerEvents events_;
    std::unique_ptr<AudioDevice> device_;
    std::unique_ptr<DecodeWorker> worker_;

    // GUI thread state.
    SongIds ids_;
    std::optional<Song> open_;
    std::optional<Song> ahead_;
    Range range_;
    TakeOver takeOver_;
};
