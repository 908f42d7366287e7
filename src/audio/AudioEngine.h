#pragma once

#include "audio/MpegPlayer.h"
#include "audio/PlayerEvents.h"
#include "audio/SongLoader.h"
#include "audio/VoiceInput.h"
#include "audio/VoiceOutput.h"
#include "audio/decode/DecoderFactory.h"
#include "audio/mix/Ducker.h"
#include "audio/mix/Mixer.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

class AudioDevice;
class DecodeWorker;

// The player library: plays one song at a time (mp3, mp2, mp1, wav, midi)
// and mixes the announcer's voice into the same output. Songs and voice are
// brought to one loudness, the music dips while the voice talks over it, the
// next song can follow without a gap, and the output pauses while nothing is
// to be heard. MpegPlayer methods are for the GUI thread; VoiceOutput
// methods say which thread may call them. Nothing throws; faults end up as a
// failed open or as a song that ends at once.
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
        // Sees every block the output takes (tests, benchmarks).
        OutputTap tap = nullptr;
        void* tapContext = nullptr;
        // Every song and the voice at one loudness; off, everything plays as
        // it was made.
        bool evenLoudness = true;
        // How far the music dips under the voice; 0 for not at all.
        double duckDepthDb = Ducker::kDefaultDepthDb;
        // Where measured loudness is kept (the per-user cache folder); empty
        // keeps nothing.
        QString cacheFolder{};
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
    void preloadNext(const QString& path, FollowOn followOn) override;

    bool pushVoice(const std::int16_t* samples, std::size_t frames, int sampleRate,
                   int channels) override;
    void flushVoice() override;
    bool voiceIdle() const override;
    std::uint64_t voiceFramesPlayed() const override;
    void setVoiceVolume(int percent) override;

    // What the sound goes to ("pulseaudio", "alsa", "dummy", "silent clock", ...).
    QString outputName() const;
    // Any thread: the output is paused because nothing is to be heard.
    bool outputPaused() const;

private:
    enum class Transport { Idle, Playing, Stopped, Failed };
    // A song as the GUI thread knows it.
    struct Song {
        enum class Status { Pending, Open, Failed };
        std::uint32_t serial = 0;
        QString path;
        Status status = Status::Pending;
        std::int32_t totalFrames = 0;
        QString error;
    };

    bool songOpen() const;
    void takeReports();

    void announceOpened(std::uint32_t serial);

    std::array<std::unique_ptr<DecoderFactory>, 2> factories_;
    Mixer mixer_;
    VoiceInput voice_;
    PlayerEvents events_;
    std::unique_ptr<AudioDevice> device_;
    std::unique_ptr<DecodeWorker> worker_;

    // GUI thread state.
    Transport transport_ = Transport::Idle;
    std::optional<Song> current_;
    std::optional<Song> next_;
    std::uint32_t serial_ = 0;
    std::uint32_t generation_ = 0;
    // The range last played, in ms from the song's start (its end may wait
    // for the song's length).
    std::int32_t rangeFirstMs_ = 0;
    std::int32_t rangeEndMs_ = 0;
};
