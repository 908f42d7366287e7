// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/decode/Decoder.h"
#include "files/RegularFile.h"

#include <sys/types.h>
#include <QString>
#include <memory>
#include <vector>

struct mpg123_handle_struct;

// mp3, mp2 and mp1 through libmpg123: gapless (encoder delay and padding are
// trimmed), exact length from a full scan, sample-accurate seeking. The
// library reads the opened file through this object, from where the audio
// starts (see MpegSync).
class Mpg123Decoder : public Decoder {
public:
    // Null with `error` set when the file is not MPEG audio.
    static std::unique_ptr<Mpg123Decoder> open(RegularFile file, QString& error);
    ~Mpg123Decoder() override;
    Mpg123Decoder(const Mpg123Decoder&) = delete;
    Mpg123Decoder& operator=(const Mpg123Decoder&) = delete;

    int sampleRate() const override { return rate_; }
    int channels() const override { return channels_; }
    std::int64_t length() const override { return length_; }
    bool seek(std::int64_t frame) override;
    std::size_t read(std::int16_t* out, std::size_t frames) override;

private:
    Mpg123Decoder(mpg123_handle_struct* handle, RegularFile file);
    static ssize_t readFile(void* self, void* out, std::size_t bytes);
    static off_t seekFile(void* self, off_t offset, int whence);
    std::int64_t readBuffered(unsigned char* out, std::size_t bytes);

    mpg123_handle_struct* handle_;
    RegularFile file_;
    std::int64_t start_ = 0;     // file offset of the stream's first byte
    std::int64_t position_ = 0;  // in the stream
    // The library asks for a frame's header and then its body, a few hundred
    // bytes each: they come from a read ahead of the file, one system call
    // for many frames.
    std::vector<unsigned char> ahead_;
    std::int64_t aheadAt_ = 0;  // stream offset of ahead_'s first byte
    int rate_ = 0;
    int channels_ = 0;
    std::int64_t length_ = 0;
    bool ended_ = false;
};
