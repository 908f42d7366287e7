#include "audio/MidiDecoder.h"

#include <fluidsynth.h>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <mutex>

namespace {
constexpr int kRate = 44100;
// FluidSynth's default gain (0.2) leaves General MIDI songs far quieter than
// mastered mp3s; this brings a typical arrangement to a similar loudness.
constexpr double kGain = 0.6;
// Notes still sound for a moment after the last event.
constexpr double kReleaseSeconds = 0.25;
// Larger files are not songs.
constexpr qint64 kMaxFileBytes = 16 * 1024 * 1024;

void silenceLibraryLog()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (int level = FLUID_PANIC; level <= FLUID_DBG; ++level) {
            fluid_set_log_function(level, nullptr, nullptr);
        }
    });
}
}  // namespace

MidiDecoder::MidiDecoder(MidiFile file, QString soundFont)
    : file_(std::move(file)), soundFont_(std::move(soundFont))
{
    length_ = std::llround((file_.durationSeconds() + kReleaseSeconds) * kRate);
}

MidiDecoder::~MidiDecoder()
{
    dropPlayer();
    if (synth_ != nullptr) {
        delete_fluid_synth(synth_);
    }
    if (settings_ != nullptr) {
        delete_fluid_settings(settings_);
    }
}

std::unique_ptr<MidiDecoder> MidiDecoder::open(const QString& path, const QString& soundFont,
                                               QString& error)
{
    QFile in(path);
    if (in.size() > kMaxFileBytes) {
        error = QStringLiteral("The MIDI file is too large");
        return nullptr;
    }
    if (!in.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("Cannot read the file: %1").arg(in.errorString());
        return nullptr;
    }
    std::optional<MidiFile> file = MidiFile::parse(in.readAll(), error);
    if (!file) {
        return nullptr;
    }
    if (!QFileInfo(soundFont).isReadable()) {
        error = QStringLiteral("No General MIDI sound font at %1").arg(soundFont);
        return nullptr;
    }
    return std::unique_ptr<MidiDecoder>(new MidiDecoder(std::move(*file), soundFont));
}

int MidiDecoder::sampleRate() const
{
    return kRate;
}

bool MidiDecoder::ensureSynth()
{
    if (synth_ != nullptr || broken_) {
        return !broken_;
    }
    silenceLibraryLog();
    settings_ = new_fluid_settings();
    broken_ = true;
    if (settings_ == nullptr) {
        return false;
    }
    fluid_settings_setnum(settings_, "synth.sample-rate", kRate);
    fluid_settings_setnum(settings_, "synth.gain", kGain);
    fluid_settings_setstr(settings_, "player.timing-source", "sample");
    fluid_settings_setint(settings_, "synth.threadsafe-api", 0);
    synth_ = new_fluid_synth(settings_);
    if (synth_ == nullptr) {
        return false;
    }
    const QByteArray font = QFile::encodeName(soundFont_);
    if (fluid_synth_sfload(synth_, font.constData(), 1) == FLUID_FAILED) {
        return false;
    }
    broken_ = false;
    return startPlayerAt(position_);
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
    fluid_synth_system_reset(synth_);
    player_ = new_fluid_player(synth_);
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
    if (synth_ == nullptr) {
        return ensureSynth();  // starts the player at position_
    }
    return !broken_ && startPlayerAt(position_);
}

std::size_t MidiDecoder::read(std::int16_t* out, std::size_t frames)
{
    if (!ensureSynth()) {
        return 0;
    }
    const auto n = static_cast<std::size_t>(
        std::min<std::int64_t>(static_cast<std::int64_t>(frames), length_ - position_));
    if (n == 0) {
        return 0;
    }
    // After the last event the synthesizer only renders release tails and
    // then silence, which keeps the length exactly what was announced.
    if (fluid_synth_write_s16(synth_, static_cast<int>(n), out, 0, 2, out, 1, 2) != FLUID_OK) {
        broken_ = true;
        return 0;
    }
    position_ += static_cast<std::int64_t>(n);
    return n;
}
