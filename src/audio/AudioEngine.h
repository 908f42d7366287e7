#pragma once

#include "audio/DecoderFactory.h"
#include "audio/Mixer.h"
#include "audio/MpegPlayer.h"
#include "audio/VoiceInput.h"
#include "audio/VoiceOutput.h"

#include <QString>
#include <cstdint>
#include <memory>

class AudioDevice;
class DecodeWorker;

// The player library: plays one song at a time (mp3, mp2, mp1, wav, midi)
// and mixes the announcer's voice into the same output. MpegPlayer methods
// are for the GUI thread; VoiceOutput methods say which thread may call them.
// Nothing throws; faults end up as a text from OpenMPEG or as a song that
// ends at once.
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

    bool pushVoice(const std::int16_t* samples, std::size_t frames, int sampleRate,
                   int channels) override;
    void flushVoice() override;
    bool voiceIdle() const override;
    std::uint64_t voiceFramesPlayed() const override;

    // What the sound goes to ("pulseaudio", "alsa", "dummy", "silent clock", ...).
    QString outputName() const;

private:
    enum class Transport { Idle, Playing, Stopped, Failed };
    bool songOpen() const;

    DecoderFactory factory_;
    Mixer mixer_;
    VoiceInput voice_;
    std::unique_ptr<AudioDevice> device_;
    std::unique_ptr<DecodeWorker> worker_;

    // GUI thread state.
    Transport transport_ = Transport::Idle;
    bool opened_ = false;
    std::uint32_t serial_ = 0;
    std::uint32_t generation_ = 0;
    int rate_ = 0;
    std::int64_t length_ = 0;
    std::int32_t totalFrames_ = 0;
    // The range last played, in ms from the song's start.
    std::int32_t rangeFirstMs_ = 0;
    std::int32_t rangeEndMs_ = 0;
};
