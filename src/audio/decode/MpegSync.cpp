// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/decode/MpegSync.h"

#include "files/RegularFile.h"

#include <QByteArray>
#include <array>

namespace {
constexpr int kHeaderBytes = 4;
constexpr int kId3HeaderBytes = 10;
// The longest frame is 1,729 bytes (layer II, 384 kbit/s at 32 kHz); a
// window overlaps the next by this much, so a frame pair is never split.
constexpr qsizetype kOverlap = 4096;
constexpr qsizetype kWindow = 64 * 1024;

// kbit/s by [MPEG-1?][layer 1..3][index]; layers II and III share MPEG-2's.
constexpr std::array<std::array<std::array<int, 15>, 3>, 2> kBitrates{{
    {{{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
      {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
      {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}}},
    {{{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
      {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
      {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}}},
}};
// Hz by [version bits][index]; version 1 is reserved.
constexpr std::array<std::array<int, 3>, 4> kRates{
    {{11025, 12000, 8000}, {0, 0, 0}, {22050, 24000, 16000}, {44100, 48000, 32000}}};

// The size of the ID3v2 tag at the start, as its header claims (header and
// footer included); 0 when there is none.
std::int64_t claimedTagSize(const std::uint8_t* h)
{
    if (h[0] != 'I' || h[1] != 'D' || h[2] != '3' || h[3] == 0xFF || h[4] == 0xFF) {
        return 0;
    }
    std::int64_t size = 0;
    for (int i = 6; i < kId3HeaderBytes; ++i) {
        if ((h[i] & 0x80) != 0) {
            return 0;
        }
        size = (size << 7) | h[i];
    }
    const bool footer = (h[5] & 0x10) != 0;
    return kId3HeaderBytes + size + (footer ? kId3HeaderBytes : 0);
}
}  // namespace

int MpegSync::frameLength(const std::uint8_t* h)
{
    if (h[0] != 0xFF || (h[1] & 0xE0) != 0xE0) {
        return 0;
    }
    const int version = (h[1] >> 3) & 3;
    const int layerBits = (h[1] >> 1) & 3;
    const int bitrateIndex = h[2] >> 4;
    const int rateIndex = (h[2] >> 2) & 3;
    if (version == 1 || layerBits == 0 || bitrateIndex == 0 || bitrateIndex == 15 ||
        rateIndex == 3 || (h[3] & 3) == 2) {
        return 0;
    }
    const int layer = 4 - layerBits;  // 1, 2 or 3
    const bool mpeg1 = version == 3;
    const int bitrate = kBitrates[mpeg1 ? 1 : 0][layer - 1][bitrateIndex] * 1000;
    const int rate = kRates[version][rateIndex];
    const int padding = (h[2] >> 1) & 1;
    if (layer == 1) {
        return (12 * bitrate / rate + padding) * 4;
    }
    const int factor = layer == 3 && !mpeg1 ? 72 : 144;
    return factor * bitrate / rate + padding;
}

bool MpegSync::framesAt(QByteArrayView bytes, qsizetype offset)
{
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    if (offset < 0 || offset + kHeaderBytes > bytes.size()) {
        return false;
    }
    const int length = frameLength(data + offset);
    const qsizetype next = offset + length;
    if (length == 0 || next + kHeaderBytes > bytes.size() || frameLength(data + next) == 0) {
        return false;
    }
    // Layer and sample rate stay the same from frame to frame.
    return (data[offset + 1] & 0xFE) == (data[next + 1] & 0xFE) &&
           (data[offset + 2] & 0x0C) == (data[next + 2] & 0x0C);
}

std::int64_t MpegSync::audioStart(const RegularFile& file)
{
    std::array<std::uint8_t, kId3HeaderBytes> header{};
    if (file.readAt(0, header.data(), header.size()) != kId3HeaderBytes) {
        return 0;
    }
    const std::int64_t claimed = claimedTagSize(header.data());
    const std::int64_t size = file.currentSize();
    if (claimed == 0 || claimed <= size) {
        return 0;
    }
    // The claim is false: the frames are somewhere inside it. Without any,
    // decoding starts past the header all the same, so that the library
    // never sets aside what the claim says.
    QByteArray window(kWindow + kOverlap, '\0');
    for (std::int64_t at = kId3HeaderBytes; at < size; at += kWindow) {
        const std::int64_t got =
            file.readAt(at, window.data(), static_cast<std::size_t>(window.size()));
        if (got <= 0) {
            break;
        }
        const QByteArrayView bytes(window.constData(), static_cast<qsizetype>(got));
        for (qsizetype i = 0; i < std::min<qsizetype>(kWindow, bytes.size()); ++i) {
            if (framesAt(bytes, i)) {
                return at + i;
            }
        }
    }
    return kId3HeaderBytes;
}
