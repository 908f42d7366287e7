// SPDX-License-Identifier: GPL-3.0-or-later
#include "broadcast/Mp3StreamEncoder.h"

#include "audio/AudioFormat.h"

#include <lame/lame.h>

#include <algorithm>

namespace {
// LAME's own bound on what one call may write: 1.25 times the samples plus
// 7200 bytes.
constexpr std::size_t kChunkFrames = 4096;
constexpr std::size_t kChunkBytes = kChunkFrames * 5 / 4 + 7200;
// Near LAME's "good" setting: a broadcast runs for hours beside the player.
constexpr int kQuality = 5;
}  // namespace

std::unique_ptr<Mp3StreamEncoder> Mp3StreamEncoder::create(int kbps)
{
    lame_global_flags* lame = lame_init();
    if (lame == nullptr) {
        return nullptr;
    }
    lame_set_in_samplerate(lame, audio_format::kRate);
    lame_set_out_samplerate(lame, audio_format::kRate);
    lame_set_num_channels(lame, audio_format::kChannels);
    lame_set_mode(lame, JOINT_STEREO);
    lame_set_brate(lame, kbps);
    lame_set_VBR(lame, vbr_off);
    lame_set_quality(lame, kQuality);
    lame_set_bWriteVbrTag(lame, 0);
    if (lame_init_params(lame) < 0) {
        lame_close(lame);
        return nullptr;
    }
    return std::unique_ptr<Mp3StreamEncoder>(new Mp3StreamEncoder(lame));
}

Mp3StreamEncoder::~Mp3StreamEncoder()
{
    lame_close(lame_);
}

bool Mp3StreamEncoder::encode(const std::int16_t* frames, std::size_t count, Bytes& out)
{
    while (count > 0) {
        const std::size_t chunk = std::min(count, kChunkFrames);
        const std::size_t before = out.size();
        out.resize(before + kChunkBytes);
        // LAME takes the samples as non-const, and only reads them.
        const int written = lame_encode_buffer_interleaved(
            lame_, const_cast<short*>(frames), static_cast<int>(chunk), out.data() + before,
            static_cast<int>(kChunkBytes));
        if (written < 0) {
            out.resize(before);
            return false;
        }
        out.resize(before + static_cast<std::size_t>(written));
        frames += chunk * audio_format::kChannels;
        count -= chunk;
    }
    return true;
}

bool Mp3StreamEncoder::retitle(const QString& /*title*/, Bytes& /*out*/)
{
    return false;
}
