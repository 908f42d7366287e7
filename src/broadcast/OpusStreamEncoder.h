// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "broadcast/StreamEncoder.h"

#include <memory>

struct OggOpusEnc;

// Ogg Opus through libopusenc (which also resamples to Opus's 48 kHz). The
// title is a comment of the stream: a new title chains a new logical
// stream, which the server and the players take as the next song.
class OpusStreamEncoder final : public StreamEncoder {
public:
    static std::unique_ptr<OpusStreamEncoder> create(int kbps, const QString& title);
    ~OpusStreamEncoder() override;
    OpusStreamEncoder(const OpusStreamEncoder&) = delete;
    OpusStreamEncoder& operator=(const OpusStreamEncoder&) = delete;

    bool encode(const std::int16_t* frames, std::size_t count, Bytes& out) override;
    bool retitle(const QString& title, Bytes& out) override;

private:
    OpusStreamEncoder() = default;
    void takePage(const unsigned char* data, int length);

    OggOpusEnc* encoder_ = nullptr;
    // Where the pages made by the call under way go.
    Bytes* out_ = nullptr;
};
