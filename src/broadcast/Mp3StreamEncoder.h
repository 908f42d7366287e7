// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "broadcast/StreamEncoder.h"

#include <memory>

struct lame_global_struct;

// Constant-bitrate MP3 through LAME, as a stream: no Xing header, no tag.
// The title travels beside the stream (the server's metadata request).
class Mp3StreamEncoder final : public StreamEncoder {
public:
    static std::unique_ptr<Mp3StreamEncoder> create(int kbps);
    ~Mp3StreamEncoder() override;
    Mp3StreamEncoder(const Mp3StreamEncoder&) = delete;
    Mp3StreamEncoder& operator=(const Mp3StreamEncoder&) = delete;

    bool encode(const std::int16_t* frames, std::size_t count, Bytes& out) override;
    bool retitle(const QString& title, Bytes& out) override;

private:
    explicit Mp3StreamEncoder(lame_global_struct* lame) : lame_(lame) {}

    lame_global_struct* lame_;
};
