// SPDX-License-Identifier: GPL-3.0-or-later
#include "broadcast/OpusStreamEncoder.h"

#include "audio/AudioFormat.h"

#include <opus/opusenc.h>

#include <algorithm>
#include <climits>

namespace {
// Pages leave the encoder at least every 200 ms (in 48 kHz samples): a
// listener tuning in hears sound soon, the overhead stays small. The
// library's own choice looks 2 s ahead before it encodes, which a live
// stream cannot wait for: one 20 ms frame ahead.
constexpr int kMuxingDelay = 9600;
constexpr int kDecisionDelay = 960;

// Comments naming `title`; null when the library has no memory.
OggOpusComments* commentsNaming(const QString& title)
{
    OggOpusComments* comments = ope_comments_create();
    if (comments != nullptr && !title.isEmpty()) {
        ope_comments_add(comments, "TITLE", title.toUtf8().constData());
    }
    return comments;
}
}  // namespace

std::unique_ptr<OpusStreamEncoder> OpusStreamEncoder::create(int kbps, const QString& title)
{
    OggOpusComments* comments = commentsNaming(title);
    if (comments == nullptr) {
        return nullptr;
    }
    std::unique_ptr<OpusStreamEncoder> made(new OpusStreamEncoder());
    // The library's pull mode hands out pages one write at a time and keeps
    // the rest back; its callbacks give every page as it is made.
    static constexpr OpusEncCallbacks kCallbacks{
        [](void* user, const unsigned char* data, opus_int32 length) {
            static_cast<OpusStreamEncoder*>(user)->takePage(data, length);
            return 0;
        },
        [](void*) { return 0; }};
    int error = OPE_OK;
    made->encoder_ = ope_encoder_create_callbacks(
        &kCallbacks, made.get(), comments, audio_format::kRate, audio_format::kChannels, 0, &error);
    ope_comments_destroy(comments);
    if (made->encoder_ == nullptr || error != OPE_OK ||
        ope_encoder_ctl(made->encoder_, OPUS_SET_BITRATE(kbps * 1000)) != OPE_OK ||
        ope_encoder_ctl(made->encoder_, OPE_SET_MUXING_DELAY(kMuxingDelay)) != OPE_OK ||
        ope_encoder_ctl(made->encoder_, OPE_SET_DECISION_DELAY(kDecisionDelay)) != OPE_OK) {
        return nullptr;
    }
    return made;
}

OpusStreamEncoder::~OpusStreamEncoder()
{
    if (encoder_ != nullptr) {
        ope_encoder_destroy(encoder_);
    }
}

bool OpusStreamEncoder::encode(const std::int16_t* frames, std::size_t count, Bytes& out)
{
    out_ = &out;
    while (count > 0) {
        const std::size_t chunk = std::min<std::size_t>(count, INT_MAX / 4);
        if (ope_encoder_write(encoder_, frames, static_cast<int>(chunk)) != OPE_OK) {
            return false;
        }
        frames += chunk * audio_format::kChannels;
        count -= chunk;
    }
    out_ = nullptr;
    return true;
}

bool OpusStreamEncoder::retitle(const QString& title, Bytes& out)
{
    OggOpusComments* comments = commentsNaming(title);
    if (comments == nullptr) {
        return true;  // the stream goes on under its old title
    }
    out_ = &out;
    ope_encoder_chain_current(encoder_, comments);
    out_ = nullptr;
    ope_comments_destroy(comments);
    return true;
}

void OpusStreamEncoder::takePage(const unsigned char* data, int length)
{
    // Pages come only from within encode() and retitle(), which say where.
    if (out_ != nullptr && length > 0) {
        out_->insert(out_->end(), data, data + length);
    }
}
