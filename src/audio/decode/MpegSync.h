// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <cstdint>

class RegularFile;

// Where the MPEG audio frames of a file begin.
class MpegSync {
public:
    // The length in bytes of the frame whose 4-byte header starts at
    // `header`; 0 when the bytes are no frame header (free-format frames,
    // whose length the header does not give, count as none).
    static int frameLength(const std::uint8_t* header);
    // Two frames in a row start at `offset`: random bytes rarely fake that.
    static bool framesAt(QByteArrayView bytes, qsizetype offset);
    // Where decoding should start: 0, or, when an ID3v2 tag at the start
    // claims to reach past the end of the file, the first frames behind its
    // header (or the end of the header when none are found).
    static std::int64_t audioStart(const RegularFile& file);
};
