#include "audio/Mixer.h"

#include "audio/AudioFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {
// About 370 ms of music: enough to ride out a slow decode, small enough that
// a seek is heard at once.
constexpr std::size_t kMusicFrames = 16384;
// The voice producer blocks at one second queued; the rest is headroom for a
// converted chunk.
constexpr std::size_t kVoiceFrames = 65536 + 32768;
// The limiter gain closes its distance to unity by a factor e every 100 ms.
constexpr float kReleaseFrames = audio_format::kRate / 10.0F;

float recovered(float gain, std::size_t frames)
{
    gain = 1.0F - (1.0F - gain) * std::exp(-static_cast<float>(frames) / kReleaseFrames);
    return gain > 0.999F ? 1.0F : gain;
}
}  // namespace

Mixer::Mixer()
    : music_(kMusicFrames, audio_format::kChannels),
      voice_(kVoiceFrames, audio_format::kChannels),
      meter_(audio_format::kRate)
{
}

void Mixer::setTap(OutputTap tap, void* context)
{
    tap_ = tap;
    tapContext_ = context;
}

std::size_t Mixer::pendingFrames() const
{
    const std::size_t music = musicPaused() ? 0 : music_.queuedFrames();
    return std::max(music, voice_.queuedFrames());
}

void Mixer::render(std::int16_t* out, std::size_t frames) noexcept
{
    for (std::size_t done = 0; done < frames;) {
        const std::size_t n = std::min(kBlock, frames - done);
        renderBlock(out + done * audio_format::kChannels, n);
        done += n;
    }
    if (tap_ != nullptr) {
        tap_(tapContext_, out, frames);
    }
    consumed_.notify();
}

void Mixer::renderBlock(std::int16_t* out, std::size_t frames) noexcept
{
    constexpr std::size_t ch = audio_format::kChannels;
    const std::size_t music = musicPaused() ? 0 : music_.read(out, frames);
    std::memset(out + music * ch, 0, (frames - music) * ch * sizeof(std::int16_t));

    std::uint64_t start = 0;
    const std::size_t voice = voice_.read(voiceBlock_.data(), frames, &start);
    if (voice > 0) {
        meter_.consumed(start, voice);
        addVoice(out, voiceBlock_.data(), voice * ch, frames);
        if (gain_ < 1.0F) {
            applyGain(out + voice * ch, (frames - voice) * ch, gain_);
        }
    } else if (gain_ < 1.0F) {
        gain_ = recovered(gain_, frames);
        applyGain(out, frames * ch, gain_);
    }
}

// A plain sum while it fits; when music and voice together would clip, the
// whole block is scaled down just enough and recovers over about half a
// second, so peaks are never flattened.
void Mixer::addVoice(std::int16_t* out, const std::int16_t* voice, std::size_t samples,
                     std::size_t blockFrames) noexcept
{
    int peak = 0;
    for (std::size_t i = 0; i < samples; ++i) {
        peak = std::max(peak, std::abs(int{out[i]} + int{voice[i]}));
    }
    const float fit = peak > 32767 ? 32767.0F / static_cast<float>(peak) : 1.0F;
    gain_ = std::min(recovered(gain_, blockFrames), fit);
    if (gain_ >= 1.0F) {
        for (std::size_t i = 0; i < samples; ++i) {
            out[i] = static_cast<std::int16_t>(int{out[i]} + int{voice[i]});
        }
        return;
    }
    for (std::size_t i = 0; i < samples; ++i) {
        const float mixed = static_cast<float>(int{out[i]} + int{voice[i]}) * gain_;
        out[i] = static_cast<std::int16_t>(std::clamp(std::lrint(mixed), -32768L, 32767L));
    }
}

void Mixer::applyGain(std::int16_t* out, std::size_t samples, float gain) noexcept
{
    for (std::size_t i = 0; i < samples; ++i) {
        out[i] = static_cast<std::int16_t>(std::lrint(static_cast<float>(out[i]) * gain));
    }
}
