// SPDX-License-Identifier: GPL-3.0-or-later
#include "HeardSound.h"
#include "broadcast/StreamEncoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {
// Interleaved stereo: `hz` on both sides at half scale.
std::vector<std::int16_t> tone(double seconds, double hz)
{
    const auto frames = static_cast<std::size_t>(seconds * 44100);
    std::vector<std::int16_t> pcm(frames * 2);
    for (std::size_t i = 0; i < frames; ++i) {
        const auto v = static_cast<std::int16_t>(std::lround(
            16000 * std::sin(2 * std::numbers::pi * hz * static_cast<double>(i) / 44100)));
        pcm[2 * i] = v;
        pcm[2 * i + 1] = v;
    }
    return pcm;
}

struct Format {
    const char* name;
    StreamFormat format;
    int kbps;
    const char* extension;
    // The program's decoder scales a float stream (Opus) to its own peak.
    bool keepsLevel;
};

class EncodedStream : public testing::TestWithParam<Format> {};

// What the encoder makes decodes again to the tone it was given, also when
// fed in blocks of odd sizes and when the title changes on the way.
TEST_P(EncodedStream, DecodesToTheToneItWasGiven)
{
    const Format& f = GetParam();
    const std::unique_ptr<StreamEncoder> encoder =
        StreamEncoder::create(f.format, f.kbps, QStringLiteral("First"));
    ASSERT_TRUE(encoder);
    const std::vector<std::int16_t> pcm = tone(1.5, 523.25);
    StreamEncoder::Bytes bytes;
    const std::size_t frames = pcm.size() / 2;
    for (std::size_t at = 0, step = 1; at < frames; at += step, step = step * 3 + 7) {
        const std::size_t count = std::min(step, frames - at);
        ASSERT_TRUE(encoder->encode(pcm.data() + at * 2, count, bytes));
        if (at > frames / 2 && at < frames / 2 + 20000) {
            encoder->retitle(QStringLiteral("Second"), bytes);
        }
    }
    // One more second pushes the tone out of the encoder's look-ahead.
    const std::vector<std::int16_t> silence(44100 * 2, 0);
    ASSERT_TRUE(encoder->encode(silence.data(), 44100, bytes));
    ASSERT_FALSE(bytes.empty());

    const QByteArray stream(reinterpret_cast<const char*>(bytes.data()),
                            static_cast<qsizetype>(bytes.size()));
    const heard_sound::Heard heard = heard_sound::decode(stream, QString::fromLatin1(f.extension));
    // The 1.5 s of tone and most of the second after it.
    ASSERT_GE(heard.frames(), heard.rate * 2U) << "decoded " << heard.frames() << " frames";
    // The middle of the tone: the frequency, at about the level given.
    EXPECT_GT(heard_sound::toneShare(heard, 22050, 8192, 523.25), 0.9);
    EXPECT_LT(heard_sound::toneShare(heard, 22050, 8192, 440.0), 0.05);
    if (f.keepsLevel) {
        EXPECT_NEAR(heard_sound::level(heard, 22050, 8192), 16000 / 32768.0 / std::sqrt(2.0), 0.05);
    }
}

INSTANTIATE_TEST_SUITE_P(StreamEncoder, EncodedStream,
                         testing::Values(Format{"Mp3", StreamFormat::Mp3, 128, "mp3", true},
                                         Format{"Mp3Low", StreamFormat::Mp3, 32, "mp3", true},
                                         Format{"Opus", StreamFormat::Opus, 96, "opus", false}),
                         [](const testing::TestParamInfo<Format>& info) {
                             return std::string(info.param.name);
                         });

TEST(StreamEncoder, MakesNothingOutOfNothing)
{
    for (const StreamFormat format : {StreamFormat::Mp3, StreamFormat::Opus}) {
        const std::unique_ptr<StreamEncoder> encoder = StreamEncoder::create(format, 64, {});
        ASSERT_TRUE(encoder);
        StreamEncoder::Bytes bytes;
        EXPECT_TRUE(encoder->encode(nullptr, 0, bytes));
    }
}
}  // namespace
