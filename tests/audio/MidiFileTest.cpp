// SPDX-License-Identifier: GPL-3.0-or-later
#include "AudioTestSupport.h"
#include "audio/decode/MidiFile.h"

#include <gtest/gtest.h>

using audio_test::MidiWriter;

namespace {
std::optional<MidiFile> parse(const QByteArray& bytes, QString* error = nullptr)
{
    QString why;
    auto file = MidiFile::parse(bytes, why);
    if (error != nullptr) {
        *error = why;
    }
    return file;
}
}  // namespace

TEST(MidiFile, LengthFollowsTempoChangesInAnyTrack)
{
    // Track 1 holds the tempo map, track 2 the notes: 192 ticks at 120 bpm
    // (one second), then 192 ticks at 240 bpm (half a second).
    MidiWriter writer(96);
    writer.track().tempo(0, 500000).tempo(192, 250000).endTrack(0);
    writer.track().note(0, 60, 96).note(96, 64, 192).endTrack(0);
    const auto file = parse(writer.bytes());
    ASSERT_TRUE(file);
    EXPECT_NEAR(file->durationSeconds(), 1.5, 1e-9);
    EXPECT_NEAR(file->secondsAt(96), 0.5, 1e-9);
    EXPECT_EQ(file->tickAt(0.5), 96u);
    EXPECT_EQ(file->tickAt(1.25), 288u);
    EXPECT_EQ(file->tickAt(0.0), 0u);
}

TEST(MidiFile, WithoutTempoEventsPlaysAt120Bpm)
{
    MidiWriter writer(480);
    writer.track().note(0, 60, 960).endTrack(480);
    const auto file = parse(writer.bytes(0));
    ASSERT_TRUE(file);
    EXPECT_NEAR(file->durationSeconds(), 1.5, 1e-9);  // the end mark counts too
}

TEST(MidiFile, SmpteTimeIgnoresTempo)
{
    // 25 frames per second, 40 ticks per frame: 1000 ticks a second.
    MidiWriter writer(0xE728);
    writer.track().tempo(0, 250000).note(0, 60, 2500).endTrack(0);
    const auto file = parse(writer.bytes());
    ASSERT_TRUE(file);
    EXPECT_NEAR(file->durationSeconds(), 2.5, 1e-9);
}

TEST(MidiFile, ReadsRunningStatusSysexAndOtherMeta)
{
    MidiWriter writer(96);
    writer.track()
        .event(0, {0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7})  // GM on
        .event(0, {0xFF, 0x03, 0x04, 'T', 'e', 's', 't'})
        .event(0, {0xC0, 0x05})  // one data byte
        .event(0, {0x90, 60, 100})
        .event(48, {64, 100})  // running status
        .event(48, {60, 0})
        .event(0, {0xD0, 0x40})
        .event(48, {0x80, 64, 0})
        .endTrack(0);
    const auto file = parse(writer.bytes());
    ASSERT_TRUE(file);
    EXPECT_NEAR(file->durationSeconds(), 144.0 / 192.0, 1e-9);
}

TEST(MidiFile, DamagedFilesAreRefusedWithAReason)
{
    QString error;
    EXPECT_FALSE(parse("RIFF....", &error));
    EXPECT_TRUE(error.contains(QStringLiteral("MThd")));

    MidiWriter good(96);
    good.track().note(0, 60, 96).endTrack(0);
    const QByteArray bytes = good.bytes();

    QByteArray noTracks = bytes;
    noTracks[11] = 0;  // track count 0
    EXPECT_FALSE(parse(noTracks, &error));

    EXPECT_FALSE(parse(bytes.left(bytes.size() - 2), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("truncated")));

    MidiWriter orphan(96);
    orphan.track().event(0, {60, 100}).endTrack(0);  // data byte with no status before it
    EXPECT_FALSE(parse(orphan.bytes(), &error));

    MidiWriter songPosition(96);
    songPosition.track().event(0, {0xF2, 0x00, 0x00}).endTrack(0);  // not allowed in files
    EXPECT_FALSE(parse(songPosition.bytes(), &error));

    MidiWriter longNumber(96);
    longNumber.track().event(0, {0xFF, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F});
    EXPECT_FALSE(parse(longNumber.bytes(), &error));
}
