// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "broadcast/StreamFormat.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// Turns the station's sound (44.1 kHz stereo 16-bit, interleaved) into the
// bytes a listener's player reads. One encoder makes one continuous stream:
// a new connection to the server starts a new one. Used by the broadcast's
// own thread alone.
class StreamEncoder {
public:
    using Bytes = std::vector<unsigned char>;

    virtual ~StreamEncoder() = default;

    // Appends the encoded form of `count` frames to `out` (may be nothing
    // while the encoder gathers a frame's worth). False on a fault.
    virtual bool encode(const std::int16_t* frames, std::size_t count, Bytes& out) = 0;
    // What players show from now on. True when the stream itself carries it
    // (Ogg starts a new chained stream with the title in its comments);
    // false when the server must be told apart (MP3).
    virtual bool retitle(const QString& title, Bytes& out) = 0;

    // An encoder for the format at `kbps` that names `title` at its start;
    // null when the library refuses (the address's check keeps the rate in
    // range, so that is a fault of the library).
    static std::unique_ptr<StreamEncoder> create(StreamFormat format, int kbps,
                                                 const QString& title);
};
