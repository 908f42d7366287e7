#pragma once

#include "audio/Decoder.h"

#include <QString>
#include <memory>

struct mpg123_handle_struct;

// mp3, mp2 and mp1 through libmpg123: gapless (encoder delay and padding are
// trimmed), exact length from a full scan, sample-accurate seeking.
class Mpg123Decoder : public Decoder {
public:
    // Null with `error` set when the file is not MPEG audio.
    static std::unique_ptr<Mpg123Decoder> open(const QString& path, QString& error);
    ~Mpg123Decoder() override;
    Mpg123Decoder(const Mpg123Decoder&) = delete;
    Mpg123Decoder& operator=(const Mpg123Decoder&) = delete;

    int sampleRate() const override { return rate_; }
    int channels() const override { return channels_; }
    std::int64_t length() const override { return length_; }
    bool seek(std::int64_t frame) override;
    std::size_t read(std::int16_t* out, std::size_t frames) override;

private:
    explicit Mpg123Decoder(mpg123_handle_struct* handle);

    mpg123_handle_struct* handle_;
    int rate_ = 0;
    int channels_ = 0;
    std::int64_t length_ = 0;
    bool ended_ = false;
};
