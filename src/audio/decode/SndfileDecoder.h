// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/decode/Decoder.h"
#include "files/RegularFile.h"

#include <QString>
#include <memory>

struct sf_private_tag;

// wav (and the other PCM containers libsndfile reads), read from the opened
// file.
class SndfileDecoder : public Decoder {
public:
    // Null with `error` set when libsndfile cannot read the file.
    static std::unique_ptr<SndfileDecoder> open(RegularFile file, QString& error);
    ~SndfileDecoder() override;
    SndfileDecoder(const SndfileDecoder&) = delete;
    SndfileDecoder& operator=(const SndfileDecoder&) = delete;

    int sampleRate() const override { return rate_; }
    int channels() const override { return channels_; }
    std::int64_t length() const override { return length_; }
    bool seek(std::int64_t frame) override;
    std::size_t read(std::int16_t* out, std::size_t frames) override;

private:
    SndfileDecoder(sf_private_tag* handle, RegularFile file);

    sf_private_tag* handle_;
    RegularFile file_;  // outlives handle_, which reads through its descriptor
    int rate_ = 0;
    int channels_ = 0;
    std::int64_t length_ = 0;
};
