// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/decode/MidiDecoder.h"

#include "audio/decode/MidiSynth.h"

#include <fluidsynth.h>
#include <QFileInfo>
#include <algorithm>
#include <array>
#include <cmath>

namespace {
constexpr int kRate = MidiSynth::kRate;
// Notes still sound for a moment after the last event.
constexpr double kReleaseSeconds = 0.25;
// Larger files are not songs.
constexpr std::int64_t kMaxFileBytes = 16 * 1024 * 1024;
}  // namespace

MidiDecoder::MidiDecoder(MidiFile file, std::shared_ptr<MidiSynth> synth)
    : file_(std::move(file)), synth_(std::move(synth)), limiter_(kRate)
{
    length_ = std::llround((file_.durationSeconds() + kReleaseSeconds) * kRate);
}

MidiDecoder::~MidiDecoder()
{
    dropPlayer();
}

std::unique_ptr<MidiDecoder> MidiDecoder::open(const RegularFile& in,
                                               std::shared_ptr<MidiSynth> synth, QString& error)
{
    if (in.currentSize() > kMaxFileBytes) {
        error = QStringLiteral("The MIDI file is too large");
        return nullptr;
    }
    const std::optional<QByteArray> bytes = in.readAll(kMaxFileBytes);
    if (!bytes) {
        error = QStringLiteral("Cannot read the MIDI file");
        return nullptr;
    }
    std::optional<MidiFile> file = MidiFile::parse(*bytes, error);
    if (!file) {
        return nullptr;
    }
    if (!synth || !QFileInfo(synth->soundFont()).isReadable()) {
        error = QStringLiteral("No General MIDI sound font at %1")
                    .arg(synth ? synth->soundFont() : QString());
        return nullptr;
    }
    return std::unique_ptr<MidiDecoder>(new MidiDecoder(std::move(*file), std::move(synth)));
}

int MidiDecoder::sampleRate() const
{
    return kRate;
}

bool MidiDecoder::ensurePlayer()
{
    if (player_ == nullptr && !broken_) {
        startPlayerAt(position_);
    }
    return !broken_;
}

void MidiDecoder::dropPlayer()
{
    if (player_ != nullptr) {
        fluid_player_stop(player_);
        delete_fluid_player(player_);
        player_ = nullptr;
    }
}

bool MidiDecoder::startPlayerAt(std::int64_t frame)
{
    dropPlayer();
    fluid_synth_t* synth = synth_->synth();
    if (synth == nullptr) {
        broken_ = true;
        return false;
    }
    // Notes of an earlier song or position must not hang over, not even in
    // their release or reverb. (Sounds off before the reset would be undone
    // by it.) The synthesizer renders in blocks of 64 frames; what it has
    // left of the last block belongs to the old position and is dropped.
    fluid_synth_system_reset(synth);
    fluid_synth_all_sounds_off(synth, -1);
    std::array<float, 2 * 128> drop{};
    fluid_synth_write_float(synth, 128, drop.data(), 0, 2, drop.data(), 1, 2);
    player_ = new_fluid_player(synth);
    if (player_ == nullptr ||
        fluid_player_add_mem(player_, file_.data().constData(),
                             static_cast<std::size_t>(file_.data().size())) != FLUID_OK) {
        broken_ = true;
        return false;
    }
    const auto tick = file_.tickAt(static_cast<double>(frame) / kRate);
    if (tick > 0) {
        fluid_player_seek(player_, static_cast<int>(std::min<std::uint64_t>(tick, INT32_MAX)));
    }
    fluid_player_play(player_);
    return true;
}

bool MidiDecoder::seek(std::int64_t frame)
{
    position_ = std::clamp<std::int64_t>(frame, 0, length_);
    return !broken_ && startPlayerAt(position_);
}

std::size_t MidiDecoder::read(std::int16_t* out, std::size_t frames)
{
    if (!ensurePlayer()) {
        return 0;
    }
    const auto n = static_cast<std::size_t>(
        std::min<std::int64_t>(static_cast<std::int64_t>(frames), length_ - position_));
    if (n == 0) {
        return 0;
    }
    // After the last event the synthesizer only renders release tails and
    // then silence, which keeps the length exactly what was announced.
    rendered_.resize(n * 2);
    float* buffer = rendered_.data();
    if (fluid_synth_write_float(synth_->synth(), static_cast<int>(n), buffer, 0, 2, buffer, 1, 2) !=
        FLUID_OK) {
        broken_ = true;
        return 0;
    }
    // The raised gain makes dense passages exceed full scale: they are turned
    // down instead of clipped.
    limiter_.process(buffer, n, 2);
    for (std::size_t i = 0; i < n * 2; ++i) {
        out[i] = static_cast<std::int16_t>(std::lrint(buffer[i] * 32767.0F));
    }
    position_ += static_cast<std::int64_t>(n);
    return n;
}
